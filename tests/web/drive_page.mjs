// Plays the browser build's page in the distribution's headless Chromium for the web tests: serves
// the page on 127.0.0.1, prints the game's console lines on standard output as they come (other
// console messages and uncaught errors as "page: ..." lines), and carries out one command per
// line of standard input, each answered by "driver: done N":
//   key NAME       a key as the keyboard sends it (puppeteer's names; an upper-case letter with Shift)
//   move X Y       the pointer to canvas pixel (X, Y)
//   click X Y      the left button there
//   menu LABEL     the right button where the pointer is, then the menu entry reading LABEL
//   image PATH     the canvas as the screen shows it, written as a binary PPM
//   message        "driver: message TEXT": what the page says under the canvas
//   clears         "driver: clears MASKS": the buffers each of the page's clears has cleared so
//                  far, one MASK (such as COLOR+DEPTH) for each kind of clear
//   controls       "driver: control TERM | EFFECT" for each control the page shows in its list
//   end            closes the browser
// A command that takes longer than a minute ends the driver with "driver: gave up on COMMAND".
// Usage: node drive_page.mjs PAGE_DIR
import { createInterface } from 'node:readline';
import { writeFile } from 'node:fs/promises';
import { openGamePage, settlesWithin } from './browser.mjs';

const say = (line) => process.stdout.write(line + '\n');

const game = await openGamePage(process.argv[2]);
const page = game.page;
page.on('console', (message) => {
  say(message.type() === 'log' ? message.text() : `page: ${message.type()}: ${message.text()}`);
});
page.on('pageerror', (error) => say(`page: error: ${error.message}`));
page.on('response', (response) => {
  if (response.status() >= 400) say(`page: error: HTTP ${response.status()} for ${response.url()}`);
});
// A picture cannot show a clear left undone: WebGL itself clears a canvas's buffers once the
// browser has shown them. The page's own clears are recorded instead.
await page.evaluateOnNewDocument(() => {
  const clears = (window.marbloomClears = new Set());
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) {
    clears.add(mask);
    return clear.call(this, mask);
  };
});
await page.goto(game.url);
const canvas = await page.waitForSelector('canvas');
const box = await canvas.boundingBox();
const size = await canvas.evaluate((c) => `${c.width}x${c.height}`);
say(`driver: ready title=${await page.title()} canvas=${size}`);

// The canvas as the screen shows it, decoded by the page itself (no image library needed here).
async function canvasImage() {
  const png = await page.screenshot({ clip: box, encoding: 'base64' });
  const rgba = await page.evaluate(async (data) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const scratch = document.createElement('canvas');
    scratch.width = image.width;
    scratch.height = image.height;
    const context = scratch.getContext('2d');
    context.drawImage(image, 0, 0);
    return Array.from(context.getImageData(0, 0, image.width, image.height).data);
  }, png);
  const header = Buffer.from(`P6\n${box.width} ${box.height}\n255\n`);
  const pixels = Buffer.alloc(box.width * box.height * 3);
  for (let i = 0, o = 0; i < rgba.length; i += 4) {
    pixels[o++] = rgba[i];
    pixels[o++] = rgba[i + 1];
    pixels[o++] = rgba[i + 2];
  }
  return Buffer.concat([header, pixels]);
}

const commands = {
  async key(name) {
    const shifted = /^[A-Z]$/.test(name);
    if (shifted) await page.keyboard.down('Shift');
    await page.keyboard.press(name);
    if (shifted) await page.keyboard.up('Shift');
  },
  async move(x, y) {
    await page.mouse.move(box.x + Number(x), box.y + Number(y));
  },
  async click(x, y) {
    await page.mouse.click(box.x + Number(x), box.y + Number(y));
  },
  async menu(...words) {
    const label = words.join(' ');
    await page.mouse.down({ button: 'right' });
    await page.mouse.up({ button: 'right' });
    // The page shows its menu as the browser's own would open: wait for it, within reason.
    await page.waitForSelector('[role=menu]:not([hidden])', { timeout: 10000 }).catch(() => {});
    const entries = await page.$$('[role=menuitem]');
    for (const entry of entries) {
      const shown = await entry.evaluate((e) => e.offsetParent !== null && e.textContent);
      if (shown === label) {
        const at = await entry.boundingBox();
        await page.mouse.click(at.x + at.width / 2, at.y + at.height / 2);
        return;
      }
    }
    const labels = await Promise.all(entries.map((e) => e.evaluate((n) => n.textContent)));
    say(`driver: no menu entry "${label}" among ${JSON.stringify(labels)}`);
  },
  async image(path) {
    await writeFile(path, await canvasImage());
  },
  async message() {
    say(`driver: message ${await page.$eval('#message', (m) => m.textContent)}`);
  },
  async clears() {
    const masks = await page.evaluate(() => [...window.marbloomClears].sort());
    const bits = { COLOR: 0x4000, DEPTH: 0x100, STENCIL: 0x400 };
    const named = masks.map((mask) => Object.keys(bits).filter((bit) => mask & bits[bit]).join('+') || 'NOTHING');
    say(`driver: clears ${named.join(' ')}`);
  },
  async controls() {
    const shown = await page.$$eval('.controls li', (items) => items
      .filter((item) => item.checkVisibility())
      .map((item) => {
        const term = item.querySelector('b').innerText.trim();
        return `${term} | ${item.innerText.trim().slice(term.length).trim()}`;
      }));
    for (const control of shown) say(`driver: control ${control}`);
  },
  async end() {
    await game.close();
  },
};

let done = 0;
let ended = false;
for await (const line of createInterface({ input: process.stdin })) {
  const [name, ...args] = line.trim().split(/\s+/);
  if (!commands[name]) {
    say(`driver: unknown command "${line}"`);
  } else {
    if (!(await settlesWithin(commands[name](...args), 60000))) {
      say(`driver: gave up on ${line}`);
      process.exit(1);
    }
  }
  say(`driver: done ${++done}`);
  if (name === 'end') {
    ended = true;
    break;
  }
}
// Standard input closed early: the test has gone, and the browser goes with it.
if (!ended) {
  await game.close();
}
