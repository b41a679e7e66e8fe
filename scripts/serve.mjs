// Serves the built page (build/web) on 127.0.0.1, for a player's browser or the web tests: only
// files of that directory, read-only, with their types. Usage: node serve.mjs DIR [PORT]; port
// 0 (the default) takes any free one. Prints the address once it is listening.
// options.headScripts (the web tests' drivers only): scripts run at the top of index.html's head,
// before the page's own, read at each request.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.zip': 'application/zip',
  '.ico': 'image/vnd.microsoft.icon',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

export function serve(directory, port = 0, options = {}) {
  const root = resolve(directory);
  const server = createServer(async (request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
    if ((request.method !== 'GET' && request.method !== 'HEAD') || !file.startsWith(root + sep)) {
      response.writeHead(request.method === 'GET' || request.method === 'HEAD' ? 403 : 405).end();
      return;
    }
    try {
      let body = await readFile(file);
      if (options.headScripts && file === join(root, 'index.html')) {
        const scripts = options.headScripts.map((script) => `<script>${script}</script>`).join('');
        body = body.toString().replace('<head>', `<head>${scripts}`);
      }
      response.writeHead(200, {
        'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    }
  });
  return new Promise((done, failed) => {
    server.once('error', failed);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [directory, port = '0'] = process.argv.slice(2);
  if (!directory) {
    console.error('usage: node serve.mjs DIR [PORT]');
    process.exit(2);
  }
  try {
    const server = await serve(directory, Number(port));
    console.log(`web: serving ${directory} at http://127.0.0.1:${server.address().port}/ (Ctrl-C to stop)`);
  } catch (error) {
    console.error(`web: cannot serve on 127.0.0.1:${port}: ${error.message} (another port: serve PORT)`);
    process.exit(1);
  }
}
