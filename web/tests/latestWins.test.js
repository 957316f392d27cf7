import assert from 'node:assert/strict';
import { test } from 'node:test';

import { LatestWins } from '../lib/latestWins.js';

test('of the jobs asked for during a run only the latest runs next, and a failure stops nothing', async () => {
  const ran = [];
  const errors = [];
  let finish;
  const queue = new LatestWins(
    (job) => {
      ran.push(job);
      if (job === 'bad') throw new Error(job);
      return job === 1 ? new Promise((resolve) => (finish = resolve)) : Promise.resolve();
    },
    (error) => errors.push(error.message),
  );
  queue.request(1);
  for (const job of [2, 3, 'bad']) queue.request(job);
  assert.equal(queue.busy, true);
  assert.equal(queue.waiting, true);
  finish();
  await new Promise((resolve) => setTimeout(resolve, 0));
  queue.request(4);
  await new Promise((resolve) => setTimeout(resolve, 0));
  assert.deepEqual(ran, [1, 'bad', 4]);
  assert.deepEqual(errors, ['bad']);
  assert.equal(queue.busy, false);
});
