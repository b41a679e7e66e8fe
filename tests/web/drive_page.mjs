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
//   messages       "driver: messages of N,M... lines": the sizes, in lines, of the page's console
//                  messages of the game's trace so far
//   installable    "driver: installable ERRORS": Chromium's reasons not to install the page, as JSON
//   offline        waits for the page's service worker, stops the server and loads the page again
//   image PATH     the canvas as the screen shows it, in the screen's pixels, as a binary PPM
//   message        "driver: message TEXT": what the page says beside the canvas
//   clears         "driver: clears MASKS": the buffers each of the page's clears has cleared so
//                  far, one MASK (such as COLOR+DEPTH) for each kind of clear
//   controls       "driver: control TERM | EFFECT" for each control the page shows in its list
//   help           "driver: help LINE | LINE...": the help the page shows, line by line
//   lose-context   takes the canvas's WebGL context away, as a GPU reset does
//   restore-context  gives it back, and waits for the page to draw again: "driver: context
//                  restored", or "driver: context not restored" when it was not within 10 s
//   scroll         "driver: scroll X,Y game X,Y": how far the top-level page and the game's own
//                  document (the same unless embedded) have scrolled
//   end            closes the browser
// WebKit answers the commands it cannot carry out (touch, installable, offline, image, scroll)
// with "driver: cannot COMMAND in webkit".
// A command that takes longer than a minute ends the driver with "driver: gave up on COMMAND".
// Usage: node drive_page.mjs PAGE_DIR [--NAME=VALUE...], with the flags
//   --browser=chromium|firefox|webkit  the browser (Chromium, headless, unless given; Firefox and
//                                WebKit need an X display in DISPLAY)
//   --device=NAME                the screen, emulated in Chromium (browser.mjs names the devices)
//   --embed=iframe               the game in an iframe of another site's page, taller than the
//                                window (Chromium and Firefox); positions and lines are the game's
//   --open=file                  the page opened from the disk (file://), not served (Chromium
//                                and Firefox)
import { createInterface } from 'node:readline';
import { writeFile } from 'node:fs/promises';
import { openGamePage, settlesWithin } from './browser.mjs';

const say = (line) => process.stdout.write(line + '\n');
// A test that has gone, ended by CTest at its time bound or crashed, sends this driver SIGTERM
// (its parent-death signal), and so does a test that gives up on a command: leaving through exit
// runs the handlers that end the browsers it started, which a plain death by the signal would
// leave running.
for (const signal of ['SIGTERM', 'SIGHUP', 'SIGINT']) process.on(signal, () => process.exit(1));

// The flags this driver takes (--name=value after the page's directory), each handed to
// openGamePage under its own name. An unknown one ends the driver: a misspelt flag must not play
// the page somewhere else than asked.
const flagNames = ['browser', 'device', 'embed', 'open'];

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
const options = parseFlags(flags);
const game = await openGamePage(directory, options);
// Puppeteer's own page, for what only it can do.
const page = game.page;
say(`driver: browser ${await game.version()}`);
// The chain's timers are the page's only 40 ms ones (a shot's are 66 ms): counted as they are set
// and as they fire.
await game.beforeEachLoad(() => {
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
// The trace's console messages, by their sizes: the page hands on a callback's lines as one.
await game.beforeEachLoad(() => {
  const sizes = new Set();
  const log = console.log;
  console.log = function (...args) {
    sizes.add(args.map(String).join(' ').split('\n').length);
    return log.apply(this, args);
  };
  window.marbloomMessageSizes = () => [...sizes].sort((a, b) => a - b).join(',');
});
game.onConsole(say);
// A picture cannot show a clear left undone: WebGL itself clears a canvas's buffers once the
// browser has shown them. The page's own clears are recorded instead.
await game.beforeEachLoad(() => {
  const clears = (window.marbloomClears = new Set());
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (mask) {
    clears.add(mask);
    return clear.call(this, mask);
  };
});
// Opens the page and waits for the game's canvas, which it sizes as the game starts; where the game
// is embedded, in its frame. `box` is where the canvas shows in the page's viewport.
let box;
const embedded = game.gameUrl && game.url !== game.gameUrl;
async function open(load) {
  await load();
  if (embedded) await game.enterFrame(game.gameUrl);
  await game.waitFor(() => document.querySelector('canvas') && window.Module && Module.calledRun, 120000);
  const seen = await game.evaluate(() => {
    const canvas = document.querySelector('canvas');
    const { x, y, width, height } = canvas.getBoundingClientRect();
    return { box: { x, y, width, height }, size: `${canvas.width}x${canvas.height}` };
  });
  box = seen.box;
  if (embedded) {
    const [left, top] = await game.frameOffset();
    box = { ...box, x: box.x + left, y: box.y + top };
  }
  say(`driver: ready title=${await game.title()} canvas=${seen.size}`);
}
await open(() => game.goto(game.url));

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
    await game.key(name);
  },
  async move(x, y) {
    await game.move(...at(x, y));
  },
  async click(x, y) {
    await game.click(...at(x, y));
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
    await page.waitForSelector('[role=menu]:not([hidden])', { timeout: 10000 }).catch(() => say('driver: no menu'));
    await page.touchscreen.touchEnd();
  },
  async press(...words) {
    const label = words.join(' ');
    const where = await game.evaluate((l) => {
      const button = [...document.querySelectorAll('button')].find((b) => b.offsetParent !== null && b.textContent === l);
      const b = button?.getBoundingClientRect();
      return b && [b.x + b.width / 2, b.y + b.height / 2];
    }, label);
    if (!where) say(`driver: no button "${label}"`);
    else await (game.touch ? page.touchscreen.tap(...where) : game.click(...where));
  },
  async focus() {
    say(`driver: focus ${await game.evaluate(() => document.activeElement.textContent)}`);
  },
  async layout() {
    const seen = await game.evaluate(() => {
      const canvas = document.querySelector('canvas');
      const b = canvas.getBoundingClientRect();
      const page = document.documentElement;
      return `canvas=${[b.x, b.y, b.width, b.height].join()} pixels=${canvas.width}x${canvas.height} ` +
        `page=${page.scrollWidth}x${page.scrollHeight}`;
    });
    say(`driver: layout ${seen}`);
  },
  async 'chain-timers'() {
    say(`driver: chain timers ${await game.evaluate(() => window.marbloomChainTimers())}`);
  },
  async messages() {
    say(`driver: messages of ${await game.evaluate(() => window.marbloomMessageSizes())} lines`);
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
    await game.rightClick();
    // The page shows its menu as the browser's own would open: wait for it, within reason.
    await game.waitFor(() => document.querySelector('[role=menu]:not([hidden])'), 10000).catch(() => {});
    const { labels, where } = await game.evaluate((l) => {
      const entries = [...document.querySelectorAll('[role=menuitem]')];
      const entry = entries.find((e) => e.offsetParent !== null && e.textContent === l);
      const b = entry?.getBoundingClientRect();
      return { labels: entries.map((e) => e.textContent), where: b && [b.x + b.width / 2, b.y + b.height / 2] };
    }, label);
    if (!where) say(`driver: no menu entry "${label}" among ${JSON.stringify(labels)}`);
    else await game.click(...where);
  },
  async image(path) {
    await writeFile(path, await canvasImage());
  },
  async message() {
    say(`driver: message ${await game.evaluate(() => document.querySelector('#message').textContent)}`);
  },
  async help() {
    const lines = await game.evaluate(() => {
      const help = document.querySelector('#help');
      return help.checkVisibility() ? help.textContent.split('\n') : [];
    });
    say(`driver: help ${lines.join(' | ')}`);
  },
  async clears() {
    const masks = await game.evaluate(() => [...window.marbloomClears].sort());
    const bits = { COLOR: 0x4000, DEPTH: 0x100, STENCIL: 0x400 };
    const named = masks.map((mask) => Object.keys(bits).filter((bit) => mask & bits[bit]).join('+') || 'NOTHING');
    say(`driver: clears ${named.join(' ')}`);
  },
  async controls() {
    const shown = await game.evaluate(() => [...document.querySelectorAll('.controls li')]
      .filter((item) => item.checkVisibility())
      .map((item) => {
        const term = item.querySelector('b').innerText.trim();
        return `${term} | ${item.innerText.trim().slice(term.length).trim()}`;
      }));
    for (const control of shown) say(`driver: control ${control}`);
  },
  async 'lose-context'() {
    await game.evaluate(() => {
      window.marbloomLoseContext = Module.canvas.getContext('webgl').getExtension('WEBGL_lose_context');
      window.marbloomLoseContext.loseContext();
    });
  },
  async 'restore-context'() {
    const restored = await game.evaluate(() => new Promise((done) => {
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
    const at = () => `${window.scrollX},${window.scrollY}`;
    say(`driver: scroll ${await page.evaluate(at)} game ${await game.evaluate(at)}`);
  },
  async end() {
    await game.close();
  },
};

// What only puppeteer's page can do.
const puppeteerOnly = ['drag', 'tap', 'hold', 'installable', 'offline', 'image', 'scroll'];

let done = 0;
let ended = false;
for await (const line of createInterface({ input: process.stdin })) {
  const [name, ...args] = line.trim().split(/\s+/);
  if (!commands[name]) {
    say(`driver: unknown command "${line}"`);
  } else if (!page && puppeteerOnly.includes(name)) {
    say(`driver: cannot ${name} in ${options.browser}`);
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
