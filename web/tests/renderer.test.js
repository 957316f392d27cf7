import assert from 'node:assert/strict';
import { test } from 'node:test';

import { Renderer } from '../lib/renderer.js';

// Stands in for a Worker: records what it is sent, and answers when the test says so.
class ScriptedWorker {
  sent = [];
  terminated = false;
  postMessage(message) {
    this.sent.push(message);
  }
  terminate() {
    this.terminated = true;
  }
  answer(message) {
    this.onmessage({ data: message });
  }
}

test('answers go to their requests; a worker that dies is replaced and its requests fail', async () => {
  const workers = [];
  const restarts = [];
  const progress = [];
  const renderer = new Renderer(() => workers[workers.push(new ScriptedWorker()) - 1], {
    onRestart: (reason, fatal, started) => restarts.push([reason, fatal, started]),
    onProgress: (report) => progress.push(report.fraction),
  });
  const first = renderer.call('map', { link: 'A' });
  const second = renderer.call('map', { link: 'B' });
  const [a, b] = workers[0].sent;
  assert.deepEqual(a, { id: a.id, op: 'map', link: 'A' });
  workers[0].answer({ op: 'progress', stage: 'Terrain', fraction: 0.5 });
  workers[0].answer({ id: b.id, ok: false, error: 'Cannot read town database' });
  workers[0].answer({ id: a.id, ok: true, link: 'RandSeed=1' });
  assert.deepEqual(await first, { link: 'RandSeed=1' });
  await assert.rejects(second, { message: 'Cannot read town database', fatal: false });
  assert.deepEqual(progress, [0.5]);
  assert.equal(workers.length, 1);

  const lost = renderer.call('map', {});
  const fatal = renderer.call('encode', {});
  workers[0].answer({ id: workers[0].sent[3].id, ok: false, fatal: true, error: 'unreachable' });
  await assert.rejects(fatal, { message: 'unreachable', fatal: true });
  await assert.rejects(lost, { fatal: true });
  assert.equal(workers[0].terminated, true);
  assert.deepEqual(restarts, [['The renderer stopped: unreachable', true, true]]);

  // A cancel is no death; a third death in a row without a good answer between starts no worker.
  renderer.restart('Cancelled.');
  workers[2].onerror({ message: 'out of memory' });
  assert.equal(workers.length, 4);
  workers[3].onerror({});
  assert.equal(workers.length, 4);
  assert.deepEqual(restarts.slice(1).map(([reason, , started]) => [reason.slice(0, 40), started]), [
    ['Cancelled.', true],
    ['The renderer stopped: out of memory.', true],
    ['The renderer stopped: it could not be lo', false],
  ]);
  await assert.rejects(renderer.call('map'), { message: /reload the page/ });
});
