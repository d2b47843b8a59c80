// Headless Chromium over the DevTools protocol on a pipe (no npm packages), on a page folder
// served from localhost as any static web server would.
import {spawn} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createServer} from 'node:http';
import {tmpdir} from 'node:os';
import {extname, join} from 'node:path';

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};

export async function openBrowser(webDir, width, height) {
  const tmp = mkdtempSync(join(tmpdir(), 'quadrix-web-'));
  const server = createServer((req, res) => {
    const path = new URL(req.url, 'http://x').pathname;
    try {
      const body = readFileSync(join(webDir, path === '/' ? 'index.html' : path));
      res.writeHead(200, {'Content-Type': types[extname(path) || '.html'] || 'application/octet-stream'});
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const chrome = spawn('/usr/bin/chromium', [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${join(tmp, 'profile')}`, '--remote-debugging-pipe', 'about:blank',
  ], {stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'], detached: true});
  // Messages are JSON, each ended by a NUL: fd 3 to the browser, fd 4 from it.
  let nextId = 1, buffered = '', session;
  const pending = new Map();
  chrome.stdio[4].on('data', (chunk) => {
    buffered += chunk;
    for (let end; (end = buffered.indexOf('\0')) >= 0; buffered = buffered.slice(end + 1)) {
      const m = JSON.parse(buffered.slice(0, end)), p = pending.get(m.id);
      if (!p) continue;
      pending.delete(m.id);
      m.error ? p.reject(new Error(JSON.stringify(m.error))) : p.resolve(m.result);
    }
  });
  const send = (method, params = {}) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, {resolve, reject});
    chrome.stdio[3].write(JSON.stringify({id, method, params, sessionId: session}) + '\0');
  });
  const b = {
    tmp, send, base: `http://127.0.0.1:${server.address().port}/`,
    async evaluate(expression) {
      const r = await send('Runtime.evaluate', {expression, awaitPromise: true, returnByValue: true});
      return r.result.value;
    },
    // Polls the page until the expression holds (the game runs in real time), up to a limit.
    async waitFor(expression, seconds = 60) {
      for (const end = Date.now() + seconds * 1000; Date.now() < end;) {
        // A page on its way to the next one has nothing to evaluate in: not yet.
        if (await b.evaluate(`!!(${expression})`).catch(() => false)) return true;
        await new Promise((r) => setTimeout(r, 100));
      }
      return false;
    },
    async open(query) {
      await send('Page.navigate', {url: b.base + query});
      return b.waitFor('document.body && (document.body.dataset.status || document.body.dataset.verdict)');
    },
    async close() {
      // The whole process group: helper processes left running would go on writing the
      // profile while it is removed.
      const exited = new Promise((r) => chrome.exitCode !== null ? r() : chrome.once('exit', r));
      try {
        process.kill(-chrome.pid, 'SIGKILL');
      } catch {
        chrome.kill('SIGKILL');
      }
      server.close();
      await exited;
      try {
        rmSync(tmp, {recursive: true, force: true, maxRetries: 20, retryDelay: 100});
      } catch (e) {
        // A leftover temporary folder is not the page's fault.
        console.error(`note: ${tmp} left behind (${e.code})`);
      }
    },
  };
  try {
    const {targetId} = await send('Target.createTarget', {url: 'about:blank'});
    session = (await send('Target.attachToTarget', {targetId, flatten: true})).sessionId;
    await send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor: 1, mobile: false});
  } catch (e) {
    await b.close();
    throw e;
  }
  return b;
}
