// The browser build's page served on 127.0.0.1 and opened in one of the distribution's browsers,
// for the web tests' driver and the page's benchmark, on a desktop's screen or an emulated
// device's: Chromium headless (software WebGL), or Firefox ESR in a window on the X display in
// DISPLAY (Mesa), since without an X display Firefox has no WebGL here, both through puppeteer; or
// WebKitGTK's MiniBrowser on that display through its WebDriver and selenium-webdriver. Each is
// handed back behind the same few operations, which is all the driver's commands use but those
// only puppeteer can do (its page is there for them).
import { spawn } from 'node:child_process';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { createServer as createHttpServer } from 'node:http';
import { createServer } from 'node:net';
import { resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { Builder, Capabilities, Key, Origin } from 'selenium-webdriver';
import { serve } from '../../scripts/serve.mjs';

// Whether `promise` settled within `ms` milliseconds; a rejection is thrown as it comes.
export async function settlesWithin(promise, ms) {
  let timer;
  const late = new Promise((done) => { timer = setTimeout(done, ms, false); });
  try {
    return await Promise.race([promise.then(() => true), late]);
  } finally {
    clearTimeout(timer);
  }
}

// The screens the tests play on: CSS pixels, the device's pixel ratio, touch.
export const devices = {
  desktop: { width: 1200, height: 900 },
  small: { width: 1024, height: 600 },
  dense: { width: 1200, height: 900, deviceScaleFactor: 2 },
  phone: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  'phone-sideways': { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: true },
};

// Nothing that Firefox would fetch by itself is wanted on a closed network: puppeteer's own
// profile already turns off updates, safe browsing and telemetry uploads; these add what remains.
// Some services (remote settings among them) still reach out, so every host name resolves to the
// loopback without a DNS query, and every request for another address goes to a proxy that is
// not there (port 9; Firefox never sends the loopback's through a proxy): whatever is left fails
// on the spot and nothing leaves the machine.
const firefoxPrefs = {
  'app.normandy.enabled': false,
  'app.shield.optoutstudies.enabled': false,
  'app.update.auto': false,
  'app.update.enabled': false,
  'browser.discovery.enabled': false,
  'browser.newtabpage.activity-stream.feeds.telemetry': false,
  'browser.newtabpage.activity-stream.telemetry': false,
  'browser.ping-centre.telemetry': false,
  'browser.region.network.url': '',
  'browser.region.update.enabled': false,
  'browser.safebrowsing.provider.google4.updateURL': '',
  'browser.safebrowsing.provider.google.updateURL': '',
  'browser.safebrowsing.provider.mozilla.updateURL': '',
  'browser.topsites.contile.enabled': false,
  'captivedetect.canonicalURL': '',
  'datareporting.usage.uploadEnabled': false,
  'dom.push.connection.enabled': false,
  'extensions.blocklist.enabled': false,
  'extensions.systemAddon.update.enabled': false,
  'geo.provider.network.url': '',
  'identity.fxaccounts.enabled': false,
  'media.gmp-gmpopenh264.enabled': false,
  'messaging-system.rsexperimentloader.enabled': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'network.dns.disablePrefetch': true,
  'network.dns.forceResolve': '127.0.0.1',
  'network.predictor.enabled': false,
  'network.prefetch-next': false,
  'network.trr.mode': 5,
  'network.proxy.type': 1,
  'network.proxy.http': '127.0.0.1',
  'network.proxy.http_port': 9,
  'network.proxy.ssl': '127.0.0.1',
  'network.proxy.ssl_port': 9,
  'toolkit.telemetry.enabled': false,
  'toolkit.telemetry.server': '',
  'toolkit.telemetry.unified': false,
  'toolkit.telemetry.archive.enabled': false,
};

function launch(browser) {
  if (browser === 'firefox') {
    if (!process.env.DISPLAY) throw new Error('Firefox needs an X display (DISPLAY): start an Xvfb');
    return puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.MARBLOOM_FIREFOX || '/usr/bin/firefox-esr',
      headless: false,
      extraPrefsFirefox: firefoxPrefs,
      // The profile is puppeteer's temporary one. No crash reporter, and no safe-mode prompt
      // after a test killed the last Firefox.
      env: { ...process.env, MOZ_CRASHREPORTER_DISABLE: '1', MOZ_DISABLE_AUTO_SAFE_MODE: '1' },
      // A first start on a loaded machine can take long.
      timeout: 120000,
      protocolTimeout: 120000,
    });
  }
  if (browser !== 'chromium') throw new Error(`no such browser "${browser}" (chromium, firefox, webkit)`);
  return puppeteer.launch({
    executablePath: process.env.MARBLOOM_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Software WebGL, and none of the background traffic that a closed network refuses.
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    timeout: 120000,
  });
}

// Chromium or Firefox behind the driver's operations, puppeteer's page beside them. Console lines
// as the driver prints them: the game's own as they are, a message of several (the page's trace
// groups a callback's lines) line by line, anything else (other levels, uncaught errors, a file
// that did not load) as "page: TYPE: TEXT".
function puppeteerGame(browser, page, closeServer) {
  let doc = page;
  return {
    page,
    version: () => browser.version(),
    beforeEachLoad: (script, ...args) => page.evaluateOnNewDocument(script, ...args),
    onConsole(say) {
      page.on('console', (message) => {
        if (message.type() !== 'log') say(`page: ${message.type()}: ${message.text()}`);
        else for (const line of message.text().split('\n')) say(line);
      });
      page.on('pageerror', (error) => say(`page: error: ${error.message}`));
      page.on('response', (response) => {
        if (response.status() >= 400) say(`page: error: HTTP ${response.status()} for ${response.url()}`);
      });
    },
    goto: (url) => page.goto(url),
    // The game's document: the page's own, or an iframe's once the game has been found in it.
    async enterFrame(url) {
      await page.waitForFrame((frame) => frame.url() === url, { timeout: 60000 });
      doc = page.frames().find((frame) => frame.url() === url);
    },
    // Where the game's frame shows in the page's viewport, its border aside.
    frameOffset: () => page.evaluate(() => {
      const frame = document.querySelector('iframe');
      const box = frame.getBoundingClientRect();
      return [box.x + frame.clientLeft, box.y + frame.clientTop];
    }),
    evaluate: (script, ...args) => doc.evaluate(script, ...args),
    waitFor: (script, timeout, ...args) => doc.waitForFunction(script, { timeout }, ...args),
    title: () => doc.title(),
    key: async (name) => {
      const shifted = /^[A-Z]$/.test(name);
      if (shifted) await page.keyboard.down('Shift');
      await page.keyboard.press(name);
      if (shifted) await page.keyboard.up('Shift');
    },
    move: (x, y) => page.mouse.move(x, y),
    click: (x, y) => page.mouse.click(x, y),
    async rightClick() {
      await page.mouse.down({ button: 'right' });
      await page.mouse.up({ button: 'right' });
    },
    async close() {
      // A browser that has not closed within 10 s is killed: nothing waits on it for good.
      if (!(await settlesWithin(browser.close(), 10000))) browser.process()?.kill('SIGKILL');
      closeServer();
    },
  };
}

// WebDriver classic has no console events: the page keeps its console's lines (a message of
// several line by line), and the driver fetches them.
function keepConsole() {
  const kept = (window.marbloomConsole = []);
  const text = (args) => args.map(String).join(' ');
  for (const type of ['log', 'debug', 'info', 'warn', 'error']) {
    const write = console[type];
    console[type] = function (...args) {
      if (type === 'log') kept.push(...text(args).split('\n'));
      else kept.push(`page: ${type}: ${text(args)}`);
      return write.apply(this, args);
    };
  }
  // Captured, to hear of a script or an image that did not load as well.
  addEventListener('error', (event) => {
    kept.push(`page: error: ${event.message || `could not load ${event.target.src || event.target.href}`}`);
  }, true);
  addEventListener('unhandledrejection', (event) => kept.push(`page: error: ${event.reason}`));
}

function freePort() {
  return new Promise((done, failed) => {
    const probe = createServer();
    probe.once('error', failed);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    });
  });
}

// MiniBrowser comes with the WebKitGTK library, in its multiarch directory.
function miniBrowser() {
  if (process.env.MARBLOOM_MINIBROWSER) return process.env.MARBLOOM_MINIBROWSER;
  for (const dir of readdirSync('/usr/lib')) {
    const path = `/usr/lib/${dir}/webkit2gtk-4.1/MiniBrowser`;
    if (existsSync(path)) return path;
  }
  throw new Error('no MiniBrowser in /usr/lib/*/webkit2gtk-4.1 (libwebkit2gtk-4.1-0); or set MARBLOOM_MINIBROWSER');
}

// Puppeteer's key names as WebDriver's: ArrowLeft is Key.ARROW_LEFT; a character is itself.
function webDriverKey(name) {
  if ([...name].length === 1) return name;
  const key = Key[name.replace(/([a-z])([A-Z])/g, '$1_$2').toUpperCase()];
  if (!key) throw new Error(`no key "${name}" for WebDriver`);
  return key;
}

// MiniBrowser in a window of the device's viewport, started by WebKitWebDriver on a port of its
// own. The driver and the browser it starts are killed when this process ends, however it ends:
// the browser by its own id, as it outlives a killed driver.
async function webKitGame(directory, device) {
  if (!process.env.DISPLAY) throw new Error('WebKit needs an X display (DISPLAY): start an Xvfb');
  if (device.deviceScaleFactor || device.hasTouch) throw new Error('WebKit plays only on a desktop screen here');
  const binary = miniBrowser();
  const headScripts = [`(${keepConsole})();`];
  const server = await serve(directory, 0, { headScripts });
  const port = await freePort();
  const driverProcess = spawn(process.env.MARBLOOM_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
    { stdio: ['ignore', 'ignore', 'inherit'] });
  const kill = () => {
    process.off('exit', kill);
    // Only while it runs: once ended, its id may be another's.
    if (driverProcess.exitCode !== null || driverProcess.signalCode !== null) return;
    let children = [];
    try {
      children = readFileSync(`/proc/${driverProcess.pid}/task/${driverProcess.pid}/children`, 'utf8')
        .split(/\s+/).filter(Boolean).map(Number);
    } catch {}
    for (const pid of [...children, driverProcess.pid]) {
      try {
        process.kill(pid, 'SIGKILL');
      } catch {}
    }
  };
  process.on('exit', kill);
  let driver;
  try {
    const url = `http://127.0.0.1:${port}`;
    for (let waited = 0; !(await fetch(`${url}/status`).then(() => true, () => false)); waited += 100) {
      if (driverProcess.exitCode !== null || waited > 30000) throw new Error('WebKitWebDriver did not start');
      await new Promise((done) => setTimeout(done, 100));
    }
    driver = await new Builder().usingServer(url).withCapabilities(new Capabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': { binary, args: ['--automation'] },
    })).build();
    // The window's frame and toolbar aside, the page gets the device's viewport.
    const window = driver.manage().window();
    await window.setRect({ width: device.width, height: device.height });
    const [width, height] = await driver.executeScript('return [innerWidth, innerHeight]');
    await window.setRect({ width: 2 * device.width - width, height: 2 * device.height - height });
  } catch (error) {
    kill();
    server.close();
    throw error;
  }
  // One WebDriver command at a time: the console's polls come between the driver's commands.
  let last = Promise.resolve();
  const inTurn = (work) => {
    const run = last.then(work);
    last = run.catch(() => {});
    return run;
  };
  const evaluate = (script, ...args) =>
    inTurn(() => driver.executeScript(`return (${script}).apply(null, arguments)`, ...args));
  const act = (build) => inTurn(() => build(driver.actions()).perform());
  let pointer = [0, 0];
  let polling = null;
  let closed = false;
  let say = () => {};
  const fetchConsole = async () => {
    for (const line of await evaluate(() => window.marbloomConsole?.splice(0) ?? [])) say(line);
  };
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    touch: false,
    version: async () => `webkit/${(await driver.getCapabilities()).get('browserVersion')}`,
    beforeEachLoad: (script, ...args) => {
      headScripts.push(`(${script})(...${JSON.stringify(args)});`);
    },
    onConsole(sayLine) {
      say = sayLine;
      const poll = () => {
        polling = fetchConsole().then(() => {
          if (!closed) setTimeout(poll, 50);
        }, (error) => {
          if (!closed) {
            say(`driver: lost the browser: ${error.message}`);
            process.exit(1);
          }
        });
      };
      poll();
    },
    goto: (url) => inTurn(() => driver.get(url)),
    evaluate,
    async waitFor(script, timeout, ...args) {
      for (const until = Date.now() + timeout; !(await evaluate(script, ...args));) {
        if (Date.now() > until) throw new Error(`waited ${timeout} ms for ${script}`);
        await new Promise((done) => setTimeout(done, 50));
      }
    },
    title: () => inTurn(() => driver.getTitle()),
    key(name) {
      const key = webDriverKey(name);
      const shifted = /^[A-Z]$/.test(name);
      return act((keys) => {
        if (shifted) keys.keyDown(Key.SHIFT);
        keys.keyDown(key).keyUp(key);
        return shifted ? keys.keyUp(Key.SHIFT) : keys;
      });
    },
    // WebDriver's pointer takes whole CSS pixels.
    move(x, y) {
      pointer = [Math.round(x), Math.round(y)];
      return act((a) => a.move({ x: pointer[0], y: pointer[1], origin: Origin.VIEWPORT }));
    },
    // WebKit, as Safari, hands the page a move where the pointer rests some 0.1 s after what lies
    // under it has changed, the menu gone after a choice: with the click the pointer leaves for the
    // viewport's corner, off the canvas, so that only the driver's own moves aim the cannon.
    click(x, y) {
      const at = { x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT };
      pointer = [device.width - 1, device.height - 1];
      return act((a) => a.move(at).click().move({ x: pointer[0], y: pointer[1], origin: Origin.VIEWPORT }));
    },
    // WebKitGTK's automation (2.50) reports the release of any other button than the left as the
    // left's, and keeps the button held from then on: every later move would reach the page as a
    // drag. What the right button brings, the contextmenu event at the pointer, is fired instead.
    rightClick: () => evaluate(([x, y]) => {
      document.elementFromPoint(x, y).dispatchEvent(new MouseEvent('contextmenu',
        { bubbles: true, cancelable: true, clientX: x, clientY: y, button: 2 }));
    }, pointer),
    async close() {
      if (closed) return;
      // Every line the page has kept is printed before it goes.
      await polling;
      closed = true;
      await fetchConsole().catch(() => {});
      // Whatever is left after 10 s, or after a quit that closed the browser only, is killed.
      await settlesWithin(inTurn(() => driver.quit()), 10000);
      kill();
      server.close();
    },
  };
}

// Another site's page that shows the game in an iframe of its own, as a game portal does: another
// origin (localhost against the game's 127.0.0.1), taller than the window, allowing full screen.
function serveHost(gameUrl) {
  const html = '<!doctype html><title>A games site</title>' +
    '<body style="margin:0; height:3000px"><p style="margin:20px">Another site\'s page.</p>' +
    `<iframe src="${gameUrl}" width="1000" height="720" allow="fullscreen" style="border:0"></iframe>`;
  const host = createHttpServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' }).end(html);
  });
  return new Promise((done, failed) => {
    host.once('error', failed);
    host.listen(0, '127.0.0.1', () => done(host));
  });
}

// options.browser: 'chromium' (the default), 'firefox' or 'webkit'; options.device: a name in
// devices; options.embed: 'iframe' for the game in another site's iframe, options.open: 'file' for
// the page opened from the disk (both Chromium and Firefox).
export async function openGamePage(directory, options = {}) {
  const device = devices[options.device || 'desktop'];
  if (!device) throw new Error(`no device "${options.device}" (${Object.keys(devices).join(', ')})`);
  if (options.embed && options.embed !== 'iframe') throw new Error(`no embedding "${options.embed}" (iframe)`);
  if (options.open && options.open !== 'file') throw new Error(`no opening "${options.open}" (file)`);
  if (options.browser === 'webkit') {
    if (options.embed || options.open) throw new Error('the game is embedded or opened from a file in Chromium and Firefox only');
    return webKitGame(directory, device);
  }
  let server = await serve(directory);
  const gameUrl = `http://127.0.0.1:${server.address().port}/`;
  const host = options.embed ? await serveHost(gameUrl) : null;
  let browser;
  try {
    browser = await launch(options.browser || 'chromium');
  } catch (error) {
    server.close();
    host?.close();
    throw error;
  }
  // Firefox opens with a tab of its own, which is the page's.
  const page = (await browser.pages())[0] || (await browser.newPage());
  try {
    await page.setViewport(device);
  } catch (error) {
    // An older Firefox ESR (a Debian 12 installed from its release's archive) lacks the screen
    // orientation override that puppeteer sends beside the viewport, which is set all the same.
    if (options.browser !== 'firefox' || !/setScreenOrientationOverride/.test(error.message)) throw error;
  }
  // Every wait bounded, but generous enough for a loaded machine.
  page.setDefaultTimeout(120000);
  return {
    ...puppeteerGame(browser, page, () => {
      server?.close();
      host?.close();
    }),
    // The page to open, and the game's own (the same unless it is embedded or opened from a file).
    url: host ? `http://localhost:${host.address().port}/` : options.open ? pathToFileURL(`${resolve(directory)}/index.html`).href : gameUrl,
    gameUrl: options.open ? null : gameUrl,
    touch: Boolean(device.hasTouch),
    // The server goes away, its open connections too, as a network that has gone.
    stopServer() {
      server.closeAllConnections();
      server.close();
      server = null;
    },
  };
}
