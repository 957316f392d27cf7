// The page's side of the renderer's worker: requests as promises, and a new worker when the old
// one dies, so that one crash does not end the page.

// A worker that dies this many times in a row, without one good answer between, is not started
// again: something in the page or the browser is wrong, not the request.
export const MAX_RESTARTS = 3;

export class Renderer {
  #makeWorker;
  #onRestart;
  #onProgress;
  #worker = null;
  #pending = new Map(); // id -> { resolve, reject }
  #nextId = 1;
  #deaths = 0; // in a row, since the last good answer

  // MakeWorker() gives a new Worker. OnRestart(reason, fatal, started) is told when a worker was
  // stopped, and whether a new one was started, so that the page can hand it what the old one
  // held; OnProgress({stage, fraction}) of each step of a long render.
  constructor(makeWorker, { onRestart = () => {}, onProgress = () => {} } = {}) {
    this.#makeWorker = makeWorker;
    this.#onRestart = onRestart;
    this.#onProgress = onProgress;
    this.#start();
  }

  // Resolves with the worker's answer; rejects with an Error holding its message, whose `fatal`
  // says the worker died of it.
  call(op, request = {}, transfer = []) {
    if (!this.#worker) return Promise.reject(Object.assign(new Error('The renderer is stopped: reload the page.'), { fatal: true }));
    const id = this.#nextId++;
    return new Promise((resolve, reject) => {
      this.#pending.set(id, { resolve, reject });
      this.#worker.postMessage({ id, op, ...request }, transfer);
    });
  }

  // Stops whatever the worker is doing (a cancel) and starts a new one.
  restart(reason) {
    this.#die(reason, false);
  }

  #start() {
    const worker = this.#makeWorker();
    worker.onmessage = (event) => this.#answer(event.data);
    worker.onerror = (event) => {
      event.preventDefault?.();
      this.#die(`The renderer stopped: ${event.message || 'it could not be loaded'}.`, true);
    };
    this.#worker = worker;
  }

  #answer({ id, op, ok, fatal, error, ...answer }) {
    if (op === 'progress') {
      this.#onProgress(answer);
      return;
    }
    const waiting = this.#pending.get(id);
    if (!waiting) return;
    this.#pending.delete(id);
    if (ok) {
      this.#deaths = 0;
      waiting.resolve(answer);
      return;
    }
    const failure = Object.assign(new Error(error), { fatal: Boolean(fatal) });
    waiting.reject(failure);
    if (fatal) this.#die(`The renderer stopped: ${error}`, true);
  }

  #die(reason, fatal) {
    this.#worker?.terminate();
    this.#worker = null;
    const pending = [...this.#pending.values()];
    this.#pending.clear();
    for (const { reject } of pending) reject(Object.assign(new Error(reason), { fatal }));
    if (fatal && ++this.#deaths >= MAX_RESTARTS) {
      this.#onRestart(`${reason} It stopped each time it was started again; reload the page to try once more.`, true, false);
      return;
    }
    this.#start();
    this.#onRestart(reason, fatal, true);
  }
}
