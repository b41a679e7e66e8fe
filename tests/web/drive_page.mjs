// Plays the browser build's page in one of the distribution's browsers for the web tests: serves
// the page on 127.0.0.1, prints the game's console lines on standard output as they come (other
// console messages and uncaught errors as "page: ..." lines), and carries out one command per
// line of standard input, each answered by "driver: done N". It first says which browser it
// drives ("driver: browser NAME/VERSION"), then "driver: ready ..." once the page has its canvas.
// Positions are the canvas's CSS pixels. The commands:
//   key NAME       a key as the keyboard sends it (puppeteer's names; an upper-case letter with Shift)
//   move X Y       the pointer to (X, Y)
//   click X Y      the left button there
//   menu LABEL     the right button where the pointer is, then the menu entry reading LABEL
//   drag X0 Y0 X1 Y1  one finger from (X0, Y0) to (X1, Y1), in ten moves
//   tap X Y        one finger's tap
//   hold X Y       one finger held there until the page's menu shows
//   press LABEL    the page's visible button reading LABEL (a menu entry too): tapped on a touch
//                  device, clicked elsewhere
//   focus          "driver: focus TEXT": the text of the element with the focus
//   layout         "driver: layout canvas=X,Y,W,H pixels=WxH page=WxH": where the canvas shows, its
//                  own pixels, and the page's scrolling size, in a viewport of the device's size
//   chain-timers   "driver: chain timers N": the page's pending 40 ms timers
//   installable    "driver: installable ERRORS": Chromium's reasons not to install the page, as JSON
//   offline        waits for the page's service worker, stops the server and loads the page again
//   image PATH     the canvas as the screen shows it, in the screen's pixels, as a binary PPM
//   message        "driver: message TEXT": what the page says beside the canvas
//   help           "driver: help LINE | LINE...": the help the page shows, line by line
//   clears         "driver: clears MASKS": the buffers each of the page's clears has cleared so
//                  far, one MASK (such as COLOR+DEPTH) for each kind of clear
//   controls       "driver: control TERM | EFFECT" for each control the page shows in its list
//   lose-context   takes the canvas's WebGL context away, as a GPU reset does
//   restore-context  gives it back, and waits for the page to draw again: "driver: context restored", or
//                  "driver: context not restored" when the page did not get it back within 10 s
//   scroll         "driver: scroll X,Y": how far the top-level page has scrolled
//   end            closes the browser
// A command that takes longer than a minute ends the driver with "driver: gave up on COMMAND".
// Usage: node drive_page.mjs PAGE_DIR [--NAME=VALUE...], with the flags
//   --browser=chromium|firefox   the browser (Chromium, headless, unless given; Firefox needs an X
//                                display in DISPLAY)
//   --device=NAME                the screen, emulated in Chromium (browser.mjs names the devices)
//   --embed=iframe               the game in an iframe of another site's page, taller than the
//                                window; the commands' positions and lines are still the game's
import { createInterface } from 'node:readline';
import { writeFile } from 'node:fs/promises';
import { openGamePage, settlesWithin } from './browser.mjs';

const say = (line) => process.stdout.write(line + '\n');

// The flags this driver takes (--name=value after the page's directory), each handed to
// openGamePage under its own name. An unknown one ends the driver: a misspelt flag must not play
// the page somewhere else than asked.
const flagNames = ['browser', 'device', 'embed'];

function parseFlags(words) {
  const options = {};
  for (const word of words) {
    const flag = /^--([a-z-]+)=(.+)$/.exec(word);
    if (!flag || !flagNames.includes(flag[1])) {
      process.stderr.write(`drive_page: unknown argument "${word}" (flags: ${flagNames.map((n) => `--${n}=...`).join(' ')})\n`);
      process.exit(2);
    }
    options[flag[1]] = flag[2];
  }
  return options;
}

const [directory, ...flags] = process.argv.slice(2);
const game = await openGamePage(directory, parseFlags(flags));
const page = game.page;
say(`driver: browser ${await page.browser().version()}`);
// The chain's timers are the page's only 40 ms ones (a shot's are 66 ms): counted as they are set
// and as they fire.
await page.evaluateOnNewDocument(() => {
  const pending = new Set();
  const set = window.setTimeout;
  window.setTimeout = function(callback, delay, ...rest) {
    if (delay !== 40) return set.call(window, callback, delay, ...rest);
    const id = set.call(window, (...args) => {
      pending.delete(id);
      callback(...args);
    }, delay, ...rest);
    pending.add(id);
    return id;
  };
  window.marbloomChainTimers = () => pending.size;
});
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
// Opens the page and waits for the game's canvas, which it sizes as the game starts. `doc` is the
// game's document: the page's own, or the frame's where the game is embedded; `box` is where its
// canvas shows, in the page's viewport.
let box;
let doc = page;
async function open(load) {
  await load();
  if (game.url !== game.gameUrl) {
    await page.waitForFrame((frame) => frame.url() === game.gameUrl, { timeout: 60000 });
    doc = page.frames().find((frame) => frame.url() === game.gameUrl);
  }
  const canvas = await doc.waitForSelector('canvas');
  await doc.waitForFunction(() => window.Module && Module.calledRun, { timeout: 60000 });
  box = await canvas.boundingBox();
  const size = await canvas.evaluate((c) => `${c.width}x${c.height}`);
  say(`driver: ready title=${await doc.title()} canvas=${size}`);
}
await open(() => page.goto(game.url));

const at = (x, y) => [box.x + Number(x), box.y + Number(y)];

// The canvas as the screen shows it, decoded by the page itself (no image library needed here),
// in the screen's pixels.
async function canvasImage() {
  const png = await page.screenshot({ clip: box, encoding: 'base64' });
  const { width, height, rgb } = await page.evaluate(async (data) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const scratch = document.createElement('canvas');
    scratch.width = image.width;
    scratch.height = image.height;
    const context = scratch.getContext('2d');
    context.drawImage(image, 0, 0);
    const rgba = context.getImageData(0, 0, image.width, image.height).data;
    // RGB as base64, a chunk of characters at a time: far smaller to hand over than numbers.
    let text = '';
    const row = new Uint8Array(image.width * 3);
    for (let y = 0; y < image.height; ++y) {
      for (let x = 0; x < image.width; ++x) {
        const i = (y * image.width + x) * 4;
        row[x * 3] = rgba[i];
        row[x * 3 + 1] = rgba[i + 1];
        row[x * 3 + 2] = rgba[i + 2];
      }
      text += String.fromCharCode.apply(null, row);
    }
    return { width: image.width, height: image.height, rgb: btoa(text) };
  }, png);
  return Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), Buffer.from(rgb, 'base64')]);
}

const commands = {
  async key(name) {
    const shifted = /^[A-Z]$/.test(name);
    if (shifted) await page.keyboard.down('Shift');
    await page.keyboard.press(name);
    if (shifted) await page.keyboard.up('Shift');
  },
  async move(x, y) {
    await page.mouse.move(...at(x, y));
  },
  async click(x, y) {
    await page.mouse.click(...at(x, y));
  },
  async drag(x0, y0, x1, y1) {
    // Sent at once rather than each after the last has been handled, so that a loaded machine
    // cannot hold the finger still for the half second that opens the menu.
    const [fromX, fromY] = at(x0, y0);
    const [toX, toY] = at(x1, y1);
    const session = await page.createCDPSession();
    const touch = (type, x, y) =>
      session.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : [{ x, y }] });
    const sent = [touch('touchStart', fromX, fromY)];
    for (let i = 1; i <= 10; ++i) {
      sent.push(touch('touchMove', fromX + ((toX - fromX) * i) / 10, fromY + ((toY - fromY) * i) / 10));
    }
    sent.push(touch('touchEnd'));
    await Promise.all(sent);
    await session.detach();
  },
  async tap(x, y) {
    await page.touchscreen.tap(...at(x, y));
  },
  async hold(x, y) {
    await page.touchscreen.touchStart(...at(x, y));
    await doc.waitForSelector('[role=menu]:not([hidden])', { timeout: 10000 }).catch(() => say('driver: no menu'));
    await page.touchscreen.touchEnd();
  },
  async press(...words) {
    const label = words.join(' ');
    for (const button of await doc.$$('button')) {
      if (await button.evaluate((b, l) => b.offsetParent !== null && b.textContent === l, label)) {
        const where = await button.boundingBox();
        const x = where.x + where.width / 2;
        const y = where.y + where.height / 2;
        await (game.touch ? page.touchscreen.tap(x, y) : page.mouse.click(x, y));
        return;
      }
    }
    say(`driver: no button "${label}"`);
  },
  async focus() {
    say(`driver: focus ${await doc.evaluate(() => document.activeElement.textContent)}`);
  },
  async layout() {
    const seen = await doc.evaluate(() => {
      const canvas = document.querySelector('canvas');
      const b = canvas.getBoundingClientRect();
      const page = document.documentElement;
      return `canvas=${[b.x, b.y, b.width, b.height].join()} pixels=${canvas.width}x${canvas.height} ` +
        `page=${page.scrollWidth}x${page.scrollHeight}`;
    });
    say(`driver: layout ${seen}`);
  },
  async 'chain-timers'() {
    say(`driver: chain timers ${await doc.evaluate(() => window.marbloomChainTimers())}`);
  },
  async installable() {
    const session = await page.createCDPSession();
    const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
    say(`driver: installable ${JSON.stringify(installabilityErrors)}`);
  },
  async offline() {
    // The worker has the page's files once it is active.
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
    game.stopServer();
    await open(() => page.reload());
  },
  async menu(...words) {
    const label = words.join(' ');
    await page.mouse.down({ button: 'right' });
    await page.mouse.up({ button: 'right' });
    // The page shows its menu as the browser's own would open: wait for it, within reason.
    await doc.waitForSelector('[role=menu]:not([hidden])', { timeout: 10000 }).catch(() => {});
    const entries = await doc.$$('[role=menuitem]');
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
    say(`driver: message ${await doc.$eval('#message', (m) => m.textContent)}`);
  },
  async help() {
    const lines = await doc.$eval('#help', (h) => (h.checkVisibility() ? h.textContent.split('\n') : []));
    say(`driver: help ${lines.join(' | ')}`);
  },
  async clears() {
    const masks = await doc.evaluate(() => [...window.marbloomClears].sort());
    const bits = { COLOR: 0x4000, DEPTH: 0x100, STENCIL: 0x400 };
    const named = masks.map((mask) => Object.keys(bits).filter((bit) => mask & bits[bit]).join('+') || 'NOTHING');
    say(`driver: clears ${named.join(' ')}`);
  },
  async controls() {
    const shown = await doc.$$eval('.controls li', (items) => items
      .filter((item) => item.checkVisibility())
      .map((item) => {
        const term = item.querySelector('b').innerText.trim();
        return `${term} | ${item.innerText.trim().slice(term.length).trim()}`;
      }));
    for (const control of shown) say(`driver: control ${control}`);
  },
  async 'lose-context'() {
    await doc.evaluate(() => {
      window.marbloomLoseContext = Module.canvas.getContext('webgl').getExtension('WEBGL_lose_context');
      window.marbloomLoseContext.loseContext();
    });
  },
  async 'restore-context'() {
    const restored = await doc.evaluate(() => new Promise((done) => {
      const timer = setTimeout(done, 10000, false);
      Module.canvas.addEventListener('webglcontextrestored', () => {
        clearTimeout(timer);
        // Two frames: the one asked for on the restore has been drawn and shown.
        requestAnimationFrame(() => requestAnimationFrame(() => done(true)));
      }, { once: true });
      window.marbloomLoseContext.restoreContext();
    }));
    say(`driver: context ${restored ? 'restored' : 'not restored'}`);
  },
  async scroll() {
    say(`driver: scroll ${await page.evaluate(() => `${window.scrollX},${window.scrollY}`)}`);
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
