// The page's side of the browser back end (WebPage.h). Input is queued here and read by the
// game's event pump; the game waits through qx_web_sleep, which hands the page to the browser.
mergeInto(LibraryManager.library, {
  $QX: {
    canvas: null, ctx: null, image: null, events: [], hidden: false, carry: [0, 0],
    box: null, answer: -1,
    param: function(name) { return new URLSearchParams(location.search).get(name); },
    // A point on the page as a pixel of the picture the canvas shows (scaled to fit, centred).
    toScreen: function(clientX, clientY) {
      const c = QX.canvas, r = c.getBoundingClientRect();
      const scale = Math.min(r.width / c.width, r.height / c.height);
      const x = (clientX - r.left - (r.width - c.width * scale) / 2) / scale;
      const y = (clientY - r.top - (r.height - c.height * scale) / 2) / scale;
      return [Math.floor(x), Math.floor(y)];
    },
    buttonOf: function(e) { return [1, 4, 2][e.button] || 0; },
    key: function(e, down) {
      if (QX.box) {
        if (down && (e.code === 'Enter' || e.code === 'NumpadEnter')) QX.closeBox(1);
        else if (down && e.code === 'Escape') QX.closeBox(QX.box.yesNo ? 0 : 1);
      } else if (!e.repeat) {
        QX.events.push([down ? 1 : 2, 0, 0, 0, e.code]);
      }
      // The page's own keys (scrolling, find, back) would take the game's.
      if (!(e.ctrlKey && (e.code === 'KeyR' || e.code === 'KeyW')) && e.code !== 'F5' &&
          e.code !== 'F11' && e.code !== 'F12') e.preventDefault();
    },
    closeBox: function(answer) {
      QX.box.element.remove();
      QX.box = null;
      QX.answer = answer;
    },
    wake: null,
    // Refused without a recent click of the player's: asked again at the next one.
    lock: function() {
      const asked = QX.canvas.requestPointerLock();
      if (asked && asked.catch) asked.catch(() => {});
    },
  },

  qx_web_init__deps: ['$QX'],
  qx_web_init: function() {
    QX.canvas = document.getElementById('screen');
    QX.ctx = QX.canvas.getContext('2d', {alpha: false});
    addEventListener('keydown', (e) => QX.key(e, true));
    addEventListener('keyup', (e) => QX.key(e, false));
    addEventListener('blur', () => QX.events.push([7, 0, 0, 0]));
    const c = QX.canvas;
    c.addEventListener('contextmenu', (e) => e.preventDefault());
    c.addEventListener('mousedown', (e) => {
      if (QX.hidden && document.pointerLockElement !== c) QX.lock();
      const at = QX.toScreen(e.clientX, e.clientY), vk = QX.buttonOf(e);
      if (vk && !QX.box) QX.events.push([3, vk, at[0], at[1]]);
      e.preventDefault();
    });
    addEventListener('mouseup', (e) => {
      const at = QX.toScreen(e.clientX, e.clientY), vk = QX.buttonOf(e);
      if (vk && !QX.box) QX.events.push([4, vk, at[0], at[1]]);
    });
    addEventListener('mousemove', (e) => {
      if (QX.box) return;
      if (!QX.hidden) {
        const at = QX.toScreen(e.clientX, e.clientY);
        QX.events.push([5, at[0], at[1], 0]);
        return;
      }
      // Movements in CSS pixels, counted in the picture's pixels; fractions carried over.
      const r = c.getBoundingClientRect();
      const scale = Math.min(c.width / r.width, c.height / r.height);
      const dx = e.movementX * scale + QX.carry[0], dy = e.movementY * scale + QX.carry[1];
      const ix = Math.trunc(dx), iy = Math.trunc(dy);
      QX.carry = [dx - ix, dy - iy];
      if (ix || iy) QX.events.push([6, ix, iy, 0]);
    });
    const channel = new MessageChannel();
    // Woken from a message, not a timer: nested timers are held back to 4 ms by the browser.
    channel.port1.onmessage = () => { const wake = QX.wake; QX.wake = null; if (wake) wake(); };
    QX.post = () => channel.port2.postMessage(0);
  },

  qx_web_screen__deps: ['$QX'],
  qx_web_screen: function(width, height) {
    const asked = /^(\d+)x(\d+)$/.exec(QX.param('screen') || '');
    const ratio = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = asked ? +asked[1] : Math.round(innerWidth * ratio);
    HEAP32[height >> 2] = asked ? +asked[2] : Math.round(innerHeight * ratio);
  },

  qx_web_present__deps: ['$QX'],
  qx_web_present: function(rgba, width, height) {
    const c = QX.canvas;
    if (c.width !== width || c.height !== height) {
      c.width = width;
      c.height = height;
    }
    // A view of the frame where it lies in memory: putImageData makes the one copy.
    let image = QX.image;
    if (!image || image.width !== width || image.height !== height ||
        image.data.buffer !== HEAPU8.buffer || QX.imageAt !== rgba) {
      image = QX.image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                                       width, height);
      QX.imageAt = rgba;
    }
    QX.ctx.putImageData(image, 0, 0);
    // A test's page (?seed=N) keeps its second frame (the title's first with its painting) as
    // the canvas holds it.
    if (QX.frames === 1 && QX.param('seed') !== null)
      QX.second = QX.ctx.getImageData(0, 0, width, height);
    QX.frames = (QX.frames || 0) + 1;
  },

  qx_web_next_event__deps: ['$QX'],
  qx_web_next_event: function(event, code, codeSize) {
    const e = QX.events.shift();
    if (!e) return 0;
    for (let i = 0; i < 4; ++i) HEAP32[(event >> 2) + i] = e[i];
    stringToUTF8(e[4] || '', code, codeSize);
    return 1;
  },

  qx_web_cursor__deps: ['$QX'],
  qx_web_cursor: function(hidden) {
    QX.hidden = !!hidden;
    QX.carry = [0, 0];
    QX.canvas.style.cursor = hidden ? 'none' : 'default';
    // Granted while the click that started the game still counts as the player's; otherwise
    // at the next click on the page.
    if (hidden) QX.lock();
    else if (document.pointerLockElement) document.exitPointerLock();
  },

  qx_web_gamepad: function(axes, numAxes, buttons, numButtons, name, nameSize) {
    const pads = navigator.getGamepads ? navigator.getGamepads() : [];
    const pad = Array.prototype.find.call(pads, (p) => p && p.connected);
    if (!pad) return 0;
    const na = Math.min(pad.axes.length, HEAP32[numAxes >> 2]);
    const nb = Math.min(pad.buttons.length, HEAP32[numButtons >> 2]);
    for (let i = 0; i < na; ++i) HEAPF64[(axes >> 3) + i] = pad.axes[i];
    for (let i = 0; i < nb; ++i) HEAPF64[(buttons >> 3) + i] = pad.buttons[i].value;
    HEAP32[numAxes >> 2] = na;
    HEAP32[numButtons >> 2] = nb;
    stringToUTF8(pad.id, name, nameSize);
    return pad.mapping === 'standard' ? 1 : 2;
  },

  qx_web_box_open__deps: ['$QX'],
  qx_web_box_open: function(title, text, yesNo) {
    if (document.pointerLockElement) document.exitPointerLock();
    const element = document.createElement('div');
    element.className = 'box';
    element.setAttribute('role', 'alertdialog');
    const h = element.appendChild(document.createElement('h1'));
    h.textContent = UTF8ToString(title);
    const p = element.appendChild(document.createElement('p'));
    p.textContent = UTF8ToString(text);
    const row = element.appendChild(document.createElement('div'));
    // (No destructuring here: emscripten's minifier of this age breaks it.)
    (yesNo ? ['Yes', 'No'] : ['OK']).forEach((label, i) => {
      const b = row.appendChild(document.createElement('button'));
      b.textContent = label;
      b.onclick = () => QX.closeBox(i === 0 ? 1 : 0);
    });
    document.body.appendChild(element);
    QX.box = {element: element, yesNo: !!yesNo};
    QX.answer = -1;
    QX.canvas.style.cursor = 'default';
  },

  qx_web_box_answer__deps: ['$QX'],
  qx_web_box_answer: function() {
    if (QX.answer >= 0 && QX.hidden) QX.canvas.style.cursor = 'none';
    return QX.answer;
  },

  qx_web_sleep__deps: ['$QX'],
  qx_web_sleep: function(ms) {
    Asyncify.handleSleep((wakeUp) => {
      QX.wake = wakeUp;
      if (ms > 0) setTimeout(QX.post, ms); else QX.post();
    });
  },

  qx_web_keep_file__deps: ['$FS'],
  qx_web_keep_file: function(path, key) {
    try {
      localStorage.setItem(UTF8ToString(key), FS.readFile(UTF8ToString(path), {encoding: 'utf8'}));
    } catch (e) {
      console.warn('quadrix: not kept in the browser: ' + e);
    }
  },

  qx_web_restore_file__deps: ['$FS', '$PATH'],
  qx_web_restore_file: function(path, key) {
    const text = localStorage.getItem(UTF8ToString(key));
    if (text === null) return;
    const file = UTF8ToString(path);
    FS.mkdirTree(PATH.dirname(file));
    FS.writeFile(file, text);
  },

  qx_web_offer_file__deps: ['$FS', '$QX'],
  qx_web_offer_file: function(path, name) {
    const link = document.getElementById('download');
    if (QX.offered) URL.revokeObjectURL(QX.offered);
    QX.offered = null;
    link.hidden = true;
    const file = UTF8ToString(path);
    if (!file) return;
    try {
      QX.offered = URL.createObjectURL(new Blob([FS.readFile(file)], {type: 'text/plain'}));
    } catch (e) {
      return;  // nothing kept
    }
    link.href = QX.offered;
    link.download = UTF8ToString(name);
    link.hidden = false;
  },

  qx_web_take_dropped__deps: ['$FS'],
  qx_web_take_dropped: function(path) {
    const text = sessionStorage.getItem('quadrix-replay');
    if (text === null) return 0;
    sessionStorage.removeItem('quadrix-replay');
    FS.writeFile(UTF8ToString(path), text);
    return 1;
  },

  qx_web_say: function(text) {
    const said = UTF8ToString(text), p = document.getElementById('said');
    p.textContent = said;
    p.hidden = false;
    document.body.dataset.verdict = said;
  },

  qx_web_status: function(text) {
    document.body.dataset.status = UTF8ToString(text);
  },

  qx_web_param__deps: ['$QX'],
  qx_web_param: function(name, value, size) {
    const given = QX.param(UTF8ToString(name));
    if (given === null) return 0;
    stringToUTF8(given, value, size);
    return 1;
  },
});
