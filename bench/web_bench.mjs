// The browser build's speed in headless Chromium, as JSON: a full-HD frame's present (the
// conversion and putImageData) as a median, a 16 ms mode's frame rate at 1280x1024, and the
// download's size, gzip-compressed. Usage: node bench/web_bench.mjs WEB_DIR
import {readFileSync} from 'node:fs';
import {join} from 'node:path';
import {gzipSync} from 'node:zlib';
import {openBrowser} from '../tests/web/chromium.mjs';

const webDir = process.argv[2];
const out = {};
const b = await openBrowser(webDir, 1280, 1024);
try {
  await b.open('?bench=present');
  await b.waitFor('document.body.dataset.verdict', 120);
  out.presentMedianMs = +/median ([\d.]+) ms/.exec(await b.evaluate('document.body.dataset.verdict'))[1];

  // Ten seconds of "60" (16 ms ticks); its frames counted from the page's presents.
  await b.open('?mode=cmdRidiculous&screen=1280x1024');
  await b.waitFor('document.body.dataset.status.startsWith("game")');
  const sample = () => b.evaluate('[QX.frames, performance.now()]');
  const [f0, t0] = await sample();
  await new Promise((r) => setTimeout(r, 10000));
  const [f1, t1] = await sample();
  out.mode16FramesPerSecond = +((f1 - f0) * 1000 / (t1 - t0)).toFixed(1);
  out.mode16Wanted = +(1000 / 16).toFixed(1);
} finally {
  await b.close();
}
out.downloadGzipBytes = {};
for (const name of ['quadrix.js', 'quadrix.wasm', 'quadrix.data'])
  out.downloadGzipBytes[name] = gzipSync(readFileSync(join(webDir, name)), {level: 9}).length;
console.log(JSON.stringify(out));
