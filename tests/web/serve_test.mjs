// The page's server: the page's files with their types, nothing beside them, a bad request
// answered rather than fatal, and a port in use said in one line.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, mkdir, writeFile } from 'node:fs/promises';
import { request } from 'node:http';
import { join } from 'node:path';
import { tmpdir } from 'node:os';
import { serve } from '../../scripts/serve.mjs';

const server_script = new URL('../../scripts/serve.mjs', import.meta.url).pathname;

// A request sent as written (no client-side tidying of the path): its status, type and body.
function fetched(port, method, path) {
  return new Promise((done, failed) => {
    const sent = request({ host: '127.0.0.1', port, method, path, timeout: 10000 }, (response) => {
      let body = '';
      response.setEncoding('utf8');
      response.on('data', (chunk) => { body += chunk; });
      response.on('end', () => done({ status: response.statusCode, type: response.headers['content-type'], body }));
    });
    sent.on('timeout', () => sent.destroy(new Error(`no answer to ${method} ${path}`)));
    sent.on('error', failed).end();
  });
}
const status = async (port, method, path) => (await fetched(port, method, path)).status;

// A page directory of small stand-ins for the built files, and a file beside it.
async function pageDirectory() {
  const parent = await mkdtemp(join(tmpdir(), 'marbloom-serve-'));
  const page = join(parent, 'web');
  await mkdir(page);
  await writeFile(join(page, 'index.html'), '<!doctype html><title>page</title>');
  await writeFile(join(page, 'marbloom.js'), 'var program;');
  await writeFile(join(parent, 'secret.txt'), 'not for the web');
  return page;
}

test('serves the page and nothing beside it, and outlives a malformed request', { timeout: 30000 }, async () => {
  const server = await serve(await pageDirectory());
  const { port } = server.address();
  const html = { status: 200, type: 'text/html; charset=utf-8', body: '<!doctype html><title>page</title>' };
  try {
    assert.deepEqual(await fetched(port, 'GET', '/'), html);
    assert.deepEqual(await fetched(port, 'GET', '/index.html'), html);
    assert.deepEqual(await fetched(port, 'GET', '/marbloom.js'),
      { status: 200, type: 'text/javascript; charset=utf-8', body: 'var program;' });
    assert.equal(await status(port, 'GET', '/missing.js'), 404);
    assert.equal(await status(port, 'GET', '/%E0%A4%A'), 400);
    assert.equal(await status(port, 'GET', '/..%2fsecret.txt'), 403);
    assert.equal(await status(port, 'POST', '/'), 405);
    // Still serving after them.
    assert.equal(await status(port, 'GET', '/index.html'), 200);
  } finally {
    server.close();
  }
});

test('says in one line that a port is in use, and ends with status 1', { timeout: 30000 }, async () => {
  const page = await pageDirectory();
  const server = await serve(page);
  const { port } = server.address();
  try {
    const second = spawnSync(process.execPath, [server_script, page, String(port)], { encoding: 'utf8', timeout: 20000 });
    assert.equal(second.status, 1);
    assert.match(second.stderr, new RegExp(`^web: cannot serve on 127\\.0\\.0\\.1:${port}: .*EADDRINUSE.* \\(another port: serve PORT\\)\\n$`));
  } finally {
    server.close();
  }
});
