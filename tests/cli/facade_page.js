// Drives the facade page in headless chromium for tst_facadepage:
//   node facade_page.js PLAYWRIGHT_CORE_DIR CHROMIUM PAGE_HTML OUT_DIR
// Opens the page from disk, waits for its first frame, saves the canvas
// (before.png), clicks the middle of window_0, waits for the leaves to turn
// and saves the canvas again (after.png). OUT_DIR/result.json holds the
// leaves' angles before and after the click, the first frame's time since the
// navigation began and the wall-clock time from the start of the load to it.
'use strict';
const fs = require('fs');
const path = require('path');

async function main() {
  const [playwrightDir, executable, pageHtml, outDir] = process.argv.slice(2);
  const { chromium } = require(playwrightDir);
  const browser = await chromium.launch({
    executablePath: executable,
    headless: true,
    // --enable-unsafe-swiftshader: WebGL in software, as --disable-gpu leaves none otherwise.
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--enable-unsafe-swiftshader'],
  });
  try {
    const page = await browser.newPage({ viewport: { width: 1000, height: 800 }, deviceScaleFactor: 1 });
    const messages = [];
    page.on('pageerror', (error) => messages.push(String(error)));
    const loadStart = Date.now();
    await page.goto('file://' + path.resolve(pageHtml));
    await page.waitForFunction(() => window.tessivoViewer && (window.tessivoViewer.firstFrameMs !== null
                                                              || window.tessivoViewer.error), null, { timeout: 30000 });
    const firstFrameWallMs = Date.now() - loadStart;
    const first = await page.evaluate(() => ({ error: window.tessivoViewer.error,
                                               firstFrameMs: window.tessivoViewer.firstFrameMs,
                                               angles: window.tessivoViewer.leafAngles() }));
    // The bar of buttons would lie over the canvas in its screenshot.
    await page.addStyleTag({ content: '#bar { display: none; }' });
    await page.waitForTimeout(200);
    const canvas = page.locator('canvas');
    await canvas.screenshot({ path: path.join(outDir, 'before.png') });
    const target = await page.evaluate(() => window.tessivoViewer.windowOnScreen('window_0'));
    await page.mouse.click(target.x, target.y);
    await page.waitForTimeout(1500);
    const after = await page.evaluate(() => window.tessivoViewer.leafAngles());
    await canvas.screenshot({ path: path.join(outDir, 'after.png') });
    fs.writeFileSync(path.join(outDir, 'result.json'), JSON.stringify({
      error: first.error, messages, firstFrameMs: first.firstFrameMs, firstFrameWallMs, click: target,
      before: first.angles, after,
    }, null, 1));
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(String(error && error.stack || error));
  process.exit(1);
});
