// The browser build's page served on 127.0.0.1 and opened in one of the distribution's browsers,
// for the web tests' driver and the page's benchmark, on a desktop's screen or an emulated
// device's: Chromium headless (software WebGL), or Firefox ESR in a window on the X display in
// DISPLAY (Mesa), since without an X display Firefox has no WebGL here.
import { createServer } from 'node:http';
import puppeteer from 'puppeteer-core';
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
  if (browser !== 'chromium') throw new Error(`no such browser "${browser}" (chromium, firefox)`);
  return puppeteer.launch({
    executablePath: process.env.MARBLOOM_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Software WebGL, and none of the background traffic that a closed network refuses.
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    timeout: 120000,
  });
}

// Another site's page that shows the game in an iframe of its own, as a game portal does: another
// origin (localhost against the game's 127.0.0.1), taller than the window, allowing full screen.
function serveHost(gameUrl) {
  const html = '<!doctype html><title>A games site</title>' +
    '<body style="margin:0; height:3000px"><p style="margin:20px">Another site\'s page.</p>' +
    `<iframe src="${gameUrl}" width="1000" height="720" allow="fullscreen" style="border:0"></iframe>`;
  const host = createServer((request, response) => {
    response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' }).end(html);
  });
  return new Promise((done, failed) => {
    host.once('error', failed);
    host.listen(0, '127.0.0.1', () => done(host));
  });
}

// options.browser: 'chromium' (the default) or 'firefox'; options.device: a name in devices;
// options.embed: 'iframe' for the game in another site's iframe.
export async function openGamePage(directory, options = {}) {
  const device = devices[options.device || 'desktop'];
  if (!device) throw new Error(`no device "${options.device}" (${Object.keys(devices).join(', ')})`);
  if (options.embed && options.embed !== 'iframe') throw new Error(`no embedding "${options.embed}" (iframe)`);
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
    page,
    // The page to open, and the game's own (the same unless it is embedded).
    url: host ? `http://localhost:${host.address().port}/` : gameUrl,
    gameUrl,
    touch: Boolean(device.hasTouch),
    // The server goes away, its open connections too, as a network that has gone.
    stopServer() {
      server.closeAllConnections();
      server.close();
      server = null;
    },
    async close() {
      // A browser that has not closed within 10 s is killed: nothing waits on it for good.
      if (!(await settlesWithin(browser.close(), 10000))) browser.process()?.kill('SIGKILL');
      if (server) server.close();
      if (host) host.close();
    },
  };
}
