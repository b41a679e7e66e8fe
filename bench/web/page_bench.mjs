// The browser build's cost in headless Chromium with software WebGL (SwiftShader), and in Firefox
// ESR and WebKitGTK's MiniBrowser on the X display in DISPLAY (Mesa's llvmpipe): the page's
// weight, raw and gzipped; in each browser the chain ticks it achieves over 10 s (nominal 25 a
// second), and the time each frame's drawing takes in the page (the display callback: transforms,
// lighting and the WebGL calls; the rasteriser works on elsewhere in the browser); in Chromium also
// with its CPU slowed 4 and 6 times, as for a phone, beside a page that only renews a 40 ms timeout
// (MARBLOOM_BENCH_ONLY=throttled: only those).
// Not a test: `scripts/web bench` runs it, on an Xvfb of its own; docs/performance.md holds its
// figures.
// Usage: node page_bench.mjs PAGE_DIR
import { mkdtemp, readFile, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { openGamePage } from '../../tests/web/browser.mjs';

const directory = process.argv[2];
const seconds = 10;
const head = 'npt=0, pt=0, move_u=0.000000';

let total = 0;
let zipped = 0;
for (const name of (await readdir(directory)).sort()) {
  if (name.endsWith('.zip')) continue;
  const bytes = await readFile(join(directory, name));
  const gz = gzipSync(bytes, { level: 9 }).length;
  total += bytes.length;
  zipped += gz;
  console.log(`weight: ${name} ${bytes.length} bytes, ${gz} gzipped`);
}
console.log(`weight: the page in all ${total} bytes, ${zipped} gzipped`);

const percentile = (sorted, p) => sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * p))];

// Chain ticks and frames over `seconds`, counted in the page. With `forward`, the trace reaches the
// console as the page prints it (a message for a callback's lines) and crosses to this process,
// as in the tests. `throttle` slows Chromium's CPU that many times, as DevTools and Lighthouse do
// to stand for a phone's.
async function measure(browser, forward, device = 'desktop', throttle = 1, page = directory) {
  const game = await openGamePage(page, { browser, device });
  if (throttle !== 1) {
    const session = await game.page.createCDPSession();
    await session.send('Emulation.setCPUThrottlingRate', { rate: throttle });
  }
  await game.beforeEachLoad((head, forward) => {
    const bench = (window.marbloomBench = { ticks: [], frames: [] });
    const log = console.log.bind(console);
    console.log = (message) => {
      for (const line of String(message).split('\n')) {
        if (line === head) bench.ticks.push(performance.now());
      }
      if (forward) log(message);
    };
  }, head, forward);
  if (forward) game.onConsole(() => {});
  const opened = Date.now();
  await game.goto(game.url);
  await game.waitFor(() => window.marbloomBench.ticks.length >= 1, 60000);
  const startUp = Date.now() - opened;
  await game.evaluate(() => {
    if (typeof Module === 'undefined') return;
    let began = 0;
    Module.preMainLoop = () => { began = performance.now(); };
    Module.postMainLoop = () => { window.marbloomBench.frames.push(performance.now() - began); };
  });
  const from = await game.evaluate(() => performance.now());
  await new Promise((done) => setTimeout(done, seconds * 1000 + 200));
  const { ticks, frames } = await game.evaluate(() => window.marbloomBench);
  await game.close();
  const counted = ticks.filter((t) => t >= from && t < from + seconds * 1000).length;
  const sorted = frames.sort((a, b) => a - b);
  return { startUp, rate: counted / seconds, frames: sorted.length, median: percentile(sorted, 0.5), p95: percentile(sorted, 0.95) };
}

// A phone's CPU as Lighthouse's mobile run stands for it (4 times slower) and a low-end phone's
// (6 times), the trace in the console as the page prints it. Beside it, the most that a 40 ms
// timeout renewed each time it fires achieves there: a page that does nothing else, and logs a
// head line once it has renewed it.
const timerOnly = await mkdtemp(join(tmpdir(), 'marbloom-timer-only-'));
await writeFile(join(timerOnly, 'index.html'), `<!doctype html><html lang="en"><title>A 40 ms timeout</title><script>
function tick() { setTimeout(tick, 40); console.log('${head}'); }
setTimeout(tick, 1);
</script></html>`);
for (const throttle of [4, 6]) {
  const r = await measure('chromium', true, 'desktop', throttle);
  const how = `chromium, CPU ${throttle}x slower, trace in the console`;
  console.log(`chain ticks (${how}): ${r.rate.toFixed(2)} a second over ${seconds} s`);
  console.log(`frames (${how}): ${r.frames} drawn, median ${r.median.toFixed(2)} ms, 95th percentile ${r.p95.toFixed(2)} ms`);
  const bare = await measure('chromium', true, 'desktop', throttle, timerOnly);
  console.log(`timeouts (chromium, CPU ${throttle}x slower, a page that only renews a 40 ms timeout): ${bare.rate.toFixed(2)} a second over ${seconds} s`);
}
await rm(timerOnly, { recursive: true, force: true });
if (process.env.MARBLOOM_BENCH_ONLY === 'throttled') process.exit(0);
for (const browser of ['chromium', 'firefox', 'webkit']) {
  for (const forward of [false, true]) {
    const r = await measure(browser, forward);
    const how = `${browser}, ${forward ? 'trace forwarded to the benchmark' : 'trace in the page only'}`;
    console.log(`start-up (${how}): page opened to first chain tick ${r.startUp} ms`);
    console.log(`chain ticks (${how}): ${r.rate.toFixed(2)} a second over ${seconds} s`);
    console.log(`frames (${how}): ${r.frames} drawn, median ${r.median.toFixed(2)} ms, 95th percentile ${r.p95.toFixed(2)} ms`);
  }
}
// A frame's cost with the canvas of an emulated phone (1170 x 878 pixels) and of a screen of
// ratio 2 (1600 x 1200); the desktop's 800 x 600 is above.
for (const device of ['phone', 'dense']) {
  const r = await measure('chromium', false, device);
  console.log(`chain ticks (chromium, ${device}): ${r.rate.toFixed(2)} a second over ${seconds} s`);
  console.log(`frames (chromium, ${device}): ${r.frames} drawn, median ${r.median.toFixed(2)} ms, 95th percentile ${r.p95.toFixed(2)} ms`);
}
