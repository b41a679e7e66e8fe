// The browser build's page served on 127.0.0.1 and opened in the distribution's headless Chromium
// (software WebGL), for the web tests' driver and the page's benchmark, on a desktop's screen or
// an emulated device's.
import puppeteer from 'puppeteer-core';
import { serve } from '../../src/web/serve.mjs';

// The screens the tests play on: CSS pixels, the device's pixel ratio, touch.
export const devices = {
  desktop: { width: 1200, height: 900 },
  small: { width: 1024, height: 600 },
  dense: { width: 1200, height: 900, deviceScaleFactor: 2 },
  phone: { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
  'phone-sideways': { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: true },
};

export async function openGamePage(directory, options = {}) {
  const device = devices[options.device || 'desktop'];
  if (!device) throw new Error(`no device "${options.device}" (${Object.keys(devices).join(', ')})`);
  let server = await serve(directory);
  const browser = await puppeteer.launch({
    executablePath: process.env.MARBLOOM_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Software WebGL, and none of the background traffic that a closed network refuses.
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage();
  await page.setViewport(device);
  return {
    page,
    url: `http://127.0.0.1:${server.address().port}/`,
    touch: Boolean(device.hasTouch),
    // The server goes away, its open connections too, as a network that has gone.
    stopServer() {
      server.closeAllConnections();
      server.close();
      server = null;
    },
    async close() {
      await browser.close();
      if (server) server.close();
    },
  };
}
