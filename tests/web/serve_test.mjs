// The page's server: the page's files only, read-only, and a bad request answered, not fatal.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtemp, mkdir, writeFile } from 'node:fs/promises';
import { request } from 'node:http';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { serve } from '../../src/web/serve.mjs';

// The status of a request sent as written: no client-side tidying of the path.
function status(port, method, path) {
  return new Promise((done, failed) => {
    const sent = request({ host: '127.0.0.1', port, method, path, timeout: 10000 }, (response) => {
      response.resume();
      done(response.statusCode);
    });
    sent.on('timeout', () => sent.destroy(new Error(`no answer to ${method} ${path}`)));
    sent.on('error', failed).end();
  });
}

test('serves the page and nothing beside it, and outlives a malformed request', async () => {
  const parent = await mkdtemp(join(tmpdir(), 'marbloom-serve-'));
  const page = join(parent, 'web');
  await mkdir(page);
  await writeFile(join(page, 'index.html'), '<!doctype html>');
  await writeFile(join(parent, 'secret.txt'), 'not for the web');
  const server = await serve(page);
  const { port } = server.address();
  try {
    assert.equal(await status(port, 'GET', '/'), 200);
    assert.equal(await status(port, 'GET', '/missing.js'), 404);
    assert.equal(await status(port, 'GET', '/%E0%A4%A'), 400);
    assert.equal(await status(port, 'GET', '/..%2fsecret.txt'), 403);
    assert.equal(await status(port, 'POST', '/'), 405);
    assert.equal(await status(port, 'GET', '/index.html'), 200);
  } finally {
    server.close();
  }
});
