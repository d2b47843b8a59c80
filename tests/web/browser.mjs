// The browser build in headless Chromium: the title's first painted frame against the native
// one, a game started by a click, steered and left, the mouse setting kept over a reload, a
// dropped replay played back. Usage: node browser.mjs WEB_DIR NATIVE_QUADRIX_SIM REPLAY.qxr
import {execFileSync} from 'node:child_process';
import {readFileSync} from 'node:fs';
import {join} from 'node:path';
import {openBrowser} from './chromium.mjs';

const [webDir, sim, replayFile] = process.argv.slice(2);
const W = 800, H = 600, SEED = 7;
let failed = 0;
const check = (ok, what) => {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  if (!ok) failed = 1;
};
const b = await openBrowser(webDir, W, H);
const status = () => b.evaluate('document.body.dataset.status || ""');
const key = (code, type) => b.send('Input.dispatchKeyEvent',
    {type, code, key: code, windowsVirtualKeyCode: {ArrowRight: 39, ArrowUp: 38, Escape: 27}[code]});
const click = async (c, dx = c.width / 2) => {
  for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased'])
    await b.send('Input.dispatchMouseEvent', {type, x: c.left + dx, y: c.top + c.height / 2, button: 'left', clickCount: 1});
};

try {
  check(await b.open(`?seed=${SEED}`) && await b.waitFor('QX.second'), 'the title\'s frames arrive');
  // The same pixels as the native program's in the title's first painted frame (no stored
  // setting in either).
  const env = {...process.env, XDG_CONFIG_HOME: join(b.tmp, 'config')};
  const bmpFile = join(b.tmp, 'title.bmp');
  execFileSync(sim, ['layout', '--screen', `${W}x${H}`, '--seed', `${SEED}`, '--frame', bmpFile], {env});
  const bmp = readFileSync(bmpFile);
  const rgba = Buffer.from(await b.evaluate(`(() => { const d = QX.second.data; let s = '';
      for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
      return btoa(s); })()`), 'base64');
  const stride = (W * 3 + 3) & ~3, at = bmp.readUInt32LE(10);
  let differ = 0;
  for (let y = 0; y < H; ++y)
    for (let x = 0; x < W; ++x) {
      const p = at + (H - 1 - y) * stride + x * 3, c = (y * W + x) * 4;
      if (bmp[p + 2] !== rgba[c] || bmp[p + 1] !== rgba[c + 1] || bmp[p] !== rgba[c + 2]) ++differ;
    }
  check(bmp.readInt32LE(18) === W && rgba.length === W * H * 4 && differ === 0,
        `the title frame is the native one (${differ} pixels differ)`);

  // A mode button starts its game; the arrow keys move the man; Escape brings the title back.
  const layout = JSON.parse(execFileSync(sim, ['layout', '--screen', `${W}x${H}`], {env}));
  const control = (name) => layout.controls.find((c) => c.name === name);
  await click(control('cmdCasual'));
  check(await b.waitFor('document.body.dataset.status.startsWith("game")'), 'a click on a mode button starts a game');
  const start = await status();
  for (const code of ['ArrowRight', 'ArrowUp']) {
    await key(code, 'keyDown');
    await b.waitFor(`document.body.dataset.status !== ${JSON.stringify(start)}`, 5);
    await key(code, 'keyUp');
  }
  const moved = await status();
  check(moved !== start, `the arrow keys move the man (${start} -> ${moved})`);
  await key('Escape', 'keyDown');
  await key('Escape', 'keyUp');
  check(await b.waitFor('document.body.dataset.status.startsWith("title")'), 'Escape brings the title back');
  check(await b.waitFor('!document.getElementById("download").hidden') &&
        /^mode cmdCasual$/m.test(await b.evaluate('fetch(document.getElementById("download").href).then((r) => r.text())')),
        'that game is offered as last.qxr');

  // The mouse setting: one step of its scroll bar's right arrow, kept over a reload.
  const bar = control('hscMouse');
  await click(bar, bar.width - 3);
  const changed = await b.waitFor('!/mouse 100$/.test(document.body.dataset.status)', 10);
  const mouse = (await status()).replace(/.* /, '');
  check(changed && await b.open('') && (await status()).endsWith(` mouse ${mouse}`),
        `a mouse setting survives a reload (${mouse})`);

  // A replay dropped on the page plays back to its recorded end.
  const text = readFileSync(replayFile, 'utf8');
  await b.evaluate(`(() => { const t = new DataTransfer(); t.items.add(new File([${JSON.stringify(text)}], 'x.qxr'));
      dispatchEvent(new DragEvent('drop', {dataTransfer: t, cancelable: true})); })()`);
  const [, passes, hash] = /^end passes (\d+) hash (\w+)$/m.exec(text);
  await b.waitFor('document.body.dataset.verdict', 120);
  const verdict = await b.evaluate('document.body.dataset.verdict || "none"');
  check(verdict === `Replay as recorded: ${passes} passes, final hash ${hash}`, `a dropped replay plays back: ${verdict}`);
} catch (e) {
  check(false, e.stack);
} finally {
  await b.close();
}
process.exit(failed);
