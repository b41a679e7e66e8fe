// The browser build's page served on 127.0.0.1 and opened in the distribution's headless Chromium
// (software WebGL), for the web tests' driver and the page's benchmark.
import puppeteer from 'puppeteer-core';
import { serve } from '../../src/web/serve.mjs';

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

export async function openGamePage(directory) {
  const server = await serve(directory);
  const browser = await puppeteer.launch({
    executablePath: process.env.MARBLOOM_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    // Software WebGL, and none of the background traffic that a closed network refuses.
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  return {
    page,
    url: `http://127.0.0.1:${server.address().port}/`,
    // A browser that has not closed within 10 s is killed: nothing waits on it for good.
    async close() {
      if (!(await settlesWithin(browser.close(), 10000))) browser.process()?.kill('SIGKILL');
      server.close();
    },
  };
}
