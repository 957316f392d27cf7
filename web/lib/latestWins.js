// Work that comes faster than it can be done, such as the renders of a dragged label: one job
// runs at a time, and of the jobs asked for meanwhile only the latest is run after it.

export class LatestWins {
  #run;
  #onError;
  #running = false;
  #waiting = null; // { job } while a job waits

  // Run(job) returns a promise. A failure it does not handle itself goes to OnError, and the
  // waiting job still runs.
  constructor(run, onError = (error) => console.error(error)) {
    this.#run = run;
    this.#onError = onError;
  }

  get busy() {
    return this.#running;
  }

  // Whether a job waits for the running one to end.
  get waiting() {
    return this.#waiting !== null;
  }

  request(job) {
    this.#waiting = { job };
    if (!this.#running) this.#next();
  }

  async #next() {
    this.#running = true;
    while (this.#waiting) {
      const { job } = this.#waiting;
      this.#waiting = null;
      try {
        await this.#run(job);
      } catch (error) {
        this.#onError(error);
      }
    }
    this.#running = false;
  }
}
