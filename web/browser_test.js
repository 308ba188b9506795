// Plays the browser edition in Debian's headless Chromium, driven over the
// DevTools pipe with real key events, against a server of its own on
// 127.0.0.1. orbivale-gl's first pictures of the title and of level 1 are
// compared with the desktop program's under Xvfb when it is given.
// Usage: node browser_test.js SITE DATA_DIR [--desktop-gl=PROGRAM] EDITION...
// Every wait has a limit; nothing sleeps a fixed time.
'use strict';
const { spawn, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serve } = require('./serve.js');

const [site, dataDir, ...rest] = process.argv.slice(2);
const desktopGl = (rest.find((a) => a.startsWith('--desktop-gl=')) || '').slice('--desktop-gl='.length);
const editions = rest.filter((a) => !a.startsWith('--'));
const results = [];
for (const edition of editions) {
  if (!fs.existsSync(path.join(site || '', `orbivale-${edition}.js`))) {
    console.log(`the browser edition of orbivale-${edition} is not built in ${site} (make web builds it)`);
    process.exit(1);
  }
}
const measures = [];

// --- the browser over its pipe ------------------------------------------
function startBrowser(flags = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orbivale-chromium-'));
  const child = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
    '--autoplay-policy=no-user-gesture-required', '--window-size=640,560', '--no-first-run',
    `--user-data-dir=${profile}`, ...flags, 'about:blank'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  let nextId = 1;
  const pending = new Map();
  const listeners = [];
  let buffer = Buffer.alloc(0);
  child.stdio[4].on('data', (chunk) => {
    buffer = Buffer.concat([buffer, chunk]);
    let end;
    while ((end = buffer.indexOf(0)) >= 0) {
      const message = JSON.parse(buffer.subarray(0, end).toString());
      buffer = buffer.subarray(end + 1);
      if (message.id && pending.has(message.id)) {
        const { resolve, reject } = pending.get(message.id);
        pending.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else {
        for (const l of listeners) l(message);
      }
    }
  });
  const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    child.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  });
  const close = () => {
    child.kill('SIGKILL');
    setTimeout(() => fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5 }), 200);
  };
  return { send, on: (l) => listeners.push(l), close };
}

async function waitFor(what, limitSeconds, check) {
  const until = Date.now() + limitSeconds * 1000;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > until) throw new Error(`gave up waiting for ${what} after ${limitSeconds} s`);
    await new Promise((r) => setTimeout(r, 50));
  }
}

// 24-bit bottom-up BMP → a grid of samples [r, g, b] for the page to compare.
// The software card shows its frames through a gamma of 1.7, as a Voodoo
// does; the GL program shows the picture as it is.
function bmpSamples(file, step, gamma) {
  const g = (v) => Math.round(255 * Math.pow(v / 255, 1 / gamma));
  const b = fs.readFileSync(file);
  const offset = b.readUInt32LE(10), width = b.readInt32LE(18), height = b.readInt32LE(22);
  const stride = Math.ceil(width * 3 / 4) * 4;
  const samples = [];
  for (let y = step / 2; y < height; y += step)
    for (let x = step / 2; x < width; x += step) {
      const at = offset + (height - 1 - y) * stride + x * 3;
      samples.push([x, y, g(b[at + 2]), g(b[at + 1]), g(b[at])]);
    }
  return samples;
}

// Share of pixels whose three channels all lie within `levels` of the other picture's.
function nearShare(a, b, levels) {
  if (a.length !== b.length) return 0;
  let near = 0;
  for (let i = 0; i < a.length; i += 3)
    if (Math.abs(a[i] - b[i]) <= levels && Math.abs(a[i + 1] - b[i + 1]) <= levels && Math.abs(a[i + 2] - b[i + 2]) <= levels)
      near++;
  return near / (a.length / 3);
}

// The desktop program's pictures, kept by its ORBIVALE_FIRST_FRAMES folder.
let desktopPictures = null;
function captureDesktopPictures() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orbivale-desktop-'));
  const run = spawnSync(path.join(__dirname, 'desktop_frames.sh'), [desktopGl, path.join(dataDir, 'gl'), folder],
                        { encoding: 'utf8', timeout: 90000 });
  if (run.status !== 0) throw new Error(`the desktop pictures: ${(run.stdout || '') + (run.stderr || '')}`.trim());
  desktopPictures = {};
  for (const name of ['title', 'level1', 'run/replay-60'])
    desktopPictures[name] = fs.readFileSync(path.join(folder, `${name}.rgb`));
  desktopPictures.run = fs.readFileSync(path.join(folder, 'run.orbreplay'));
  fs.rmSync(folder, { recursive: true, force: true });
}

async function check(name, body) {
  try {
    const detail = await body();
    results.push({ name, ok: true });
    console.log(`ok    ${name}${detail ? ': ' + detail : ''}`);
  } catch (e) {
    results.push({ name, ok: false });
    console.log(`FAIL  ${name}: ${e.message}`);
    throw e;
  }
}

async function playEdition(browser, address, edition) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const send = (m, p) => browser.send(m, p, sessionId);
  const errors = [];
  browser.on((m) => {
    if (m.sessionId !== sessionId) return;
    if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
      errors.push(m.params.args.map((a) => a.value || a.description).join(' '));
    else if (m.method === 'Runtime.exceptionThrown')
      errors.push(m.params.exceptionDetails.exception?.description || m.params.exceptionDetails.text);
    else if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error' && !/favicon/.test(m.params.entry.url || ''))
      errors.push(m.params.entry.text);
    else if (m.method === 'Page.javascriptDialogOpening') {
      // The one box a first game shows (its message box, as on the desktop).
      if (!/^Notice\s+Creating new highScores file$/.test(m.params.message))
        errors.push(`dialog: ${m.params.message}`);
      send('Page.handleJavaScriptDialog', { accept: true });
    }
  });
  await send('Runtime.enable');
  await send('Log.enable');
  await send('Page.enable');
  const evaluate = async (expression) => {
    const r = await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) throw new Error(`${expression.slice(0, 80)}: ${r.exceptionDetails.exception?.description || r.exceptionDetails.text}`);
    return r.result.value;
  };
  const key = async (name, code, type) => {
    const k = { key: name, code, windowsVirtualKeyCode: code === 'Escape' ? 27 : code === 'Enter' ? 13 :
                code === 'ArrowUp' ? 38 : code === 'ArrowDown' ? 40 : 0 };
    if (type !== 'keyUp') await send('Input.dispatchKeyEvent', { type: 'keyDown', ...k });
    if (type !== 'keyDown') await send('Input.dispatchKeyEvent', { type: 'keyUp', ...k });
  };
  const state = () => evaluate('Module._orbivale_game_state ? Module._orbivale_game_state() : 0');
  const frame = () => evaluate('new Promise(r => requestAnimationFrame(() => r(true)))');
  const samples = JSON.stringify(bmpSamples(path.join(dataDir, edition, 'graphics', 'title.bmp'), 20, edition === 'glide' ? 1.7 : 1.0));
  // Share of sampled canvas pixels within 24 levels of the title picture.
  const titleShare = `(() => { const c = document.getElementById('canvas'); if (!c || !window.Module || !Module.calledRun) return 0;
      const g = document.createElement('canvas'); g.width = 640; g.height = 480;
      const x2 = g.getContext('2d'); x2.drawImage(c, 0, 0); const d = x2.getImageData(0, 0, 640, 480).data;
      let near = 0; const s = ${samples};
      for (const [x, y, r, gr, b] of s) { const i = (y * 640 + x) * 4;
        if (Math.abs(d[i] - r) <= 24 && Math.abs(d[i + 1] - gr) <= 24 && Math.abs(d[i + 2] - b) <= 24) near++; }
      return near / s.length; })()`;
  // The program's first picture of a screen, as it keeps it in the page's files.
  const picture = async (name) => {
    const data = await evaluate(`(() => { const p = '/tmp/${name}.rgb';
        if (!window.FS || !FS.analyzePath(p).exists) return '';
        const d = FS.readFile(p); if (d.length !== 640 * 480 * 3) return '';
        let s = ''; for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
        return btoa(s); })()`);
    return data ? Buffer.from(data, 'base64') : null;
  };
  const likeTheDesktop = async (name) => {
    const mine = await waitFor(`the page's first ${name} picture`, 30, () => picture(name));
    const share = nearShare(mine, desktopPictures[name], 8);
    measures.push(`gl: ${(share * 100).toFixed(2)} % of the ${name} picture's pixels within 8 levels of the desktop's`);
    if (share < 0.99) {
      const kept = path.join(os.tmpdir(), `orbivale-page-${name.replace('/', '-')}.rgb`);
      fs.writeFileSync(kept, mine);
      throw new Error(`only ${(share * 100).toFixed(2)} % of the pixels are within 8 levels of the desktop's (the page's picture: ${kept})`);
    }
    return `${(share * 100).toFixed(2)} % of the pixels within 8 levels`;
  };
  const comparing = edition === 'gl' && desktopPictures;
  const { identifier: keepPictures } = comparing ? await send('Page.addScriptToEvaluateOnNewDocument',
    { source: "window.orbivaleEnvironment = { ORBIVALE_FIRST_FRAMES: '/tmp' };" }) : {};
  const url = `${address}?play=${edition}`;
  const tablePath = `/home/player/.local/share/orbivale/${edition}/${edition === 'glide' ? 'misc/' : ''}highScore.dat`;

  await check(`${edition}: the title appears`, async () => {
    const started = Date.now();
    await send('Page.navigate', { url });
    await waitFor('the title picture', 60, async () => { const v = await evaluate(titleShare); return v >= 0.85; });
    measures.push(`${edition}: first title frame ${(Date.now() - started) / 1000} s after the page was asked for`);
  });
  if (comparing) await check(`${edition}: the title is the desktop program's picture`, () => likeTheDesktop('title'));
  await check(`${edition}: Escape and Return start level 1`, async () => {
    await key('Escape', 'Escape');
    await waitFor('the menu', 20, async () => (await evaluate('Module._orbivale_menu_shown()')) === 1);
    await key('Enter', 'Enter');
    await waitFor('level 1', 30, async () => (await state()) === 2 && (await evaluate('Module._orbivale_level()')) === 1);
    if ((await evaluate(titleShare)) > 0.6) throw new Error('the title is still on the canvas');
  });
  if (comparing) await check(`${edition}: level 1's first picture is the desktop program's`, () => likeTheDesktop('level1'));
  await check(`${edition}: holding Up moves the marble`, async () => {
    const where = 'Array.from([0, 1, 2], a => Module._orbivale_marble(a))';
    const before = await evaluate(where);
    await key('ArrowUp', 'ArrowUp', 'keyDown');
    const moved = await waitFor('the marble to roll', 30, async () => {
      const now = await evaluate(where);
      const d = Math.hypot(now[0] - before[0], now[1] - before[1], now[2] - before[2]);
      return d > 50 ? d : 0;
    });
    // While it rolls, the page's animation frames and the game's own count.
    const rate = await evaluate(`new Promise(r => { let n = 0; const t0 = performance.now();
        const tick = () => { n++; if (performance.now() - t0 < 3000) requestAnimationFrame(tick);
          else r([n * 1000 / (performance.now() - t0), Module._orbivale_frames_per_second()]); };
        requestAnimationFrame(tick); })`);
    measures.push(`${edition}: ${rate[0].toFixed(1)} animation frames/s, game ${rate[1]} frames/s while playing level 1`);
    await key('ArrowUp', 'ArrowUp', 'keyUp');
    return `moved ${moved.toFixed(0)} units`;
  });
  await check(`${edition}: audio is running`, async () => {
    const s = await waitFor('a running audio context', 10, () =>
      evaluate('(Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state === "running") ? "running" : ""'));
    return s;
  });
  let table;
  await check(`${edition}: quitting from play saves the best times in the browser`, async () => {
    await evaluate('Module.stored = 0; Module.onFilesStored = () => Module.stored++, 1');
    await key('Escape', 'Escape');
    await waitFor('the menu', 20, async () => (await evaluate('Module._orbivale_menu_shown()')) === 1);
    for (let i = 0; i < 3; i++) await key('ArrowDown', 'ArrowDown');
    await key('Enter', 'Enter');
    await waitFor('the stored table', 20, async () => (await evaluate('Module.stored')) > 0);
    table = await evaluate(`Array.from(FS.readFile('${tablePath}')).join(',')`);
  });
  await check(`${edition}: a reload keeps the table`, async () => {
    await send('Page.navigate', { url });
    await waitFor('the title picture', 60, async () => (await evaluate(titleShare)) >= 0.85);
    const again = await evaluate(`FS.analyzePath('${tablePath}').exists ? Array.from(FS.readFile('${tablePath}')).join(',') : ''`);
    if (again !== table) throw new Error('the best-times file did not come back after the reload');
  });
  // orbivale-gl's menu shows the table; orbivale-glide shows it at a game's
  // end, here a game whose first level ran out of time.
  await check(`${edition}: the best-times screen is reached`, async () => {
    await key('Escape', 'Escape');
    await waitFor('the menu', 20, async () => (await evaluate('Module._orbivale_menu_shown()')) === 1);
    if (edition === 'gl') {
      for (let i = 0; i < 12 && !(await evaluate('Module._orbivale_cursor_on_best_times()')); i++) {
        const at = await evaluate('Module._orbivale_menu_cursor()');
        await key('ArrowDown', 'ArrowDown');
        await waitFor('the cursor to move', 10, async () => (await evaluate('Module._orbivale_menu_cursor()')) !== at);
      }
      await key('Enter', 'Enter');
    } else {
      await key('Enter', 'Enter');
      await waitFor('level 1', 30, async () => (await state()) === 2 && (await evaluate('Module._orbivale_level()')) === 1);
      await evaluate('Module._orbivale_run_clock_down(), 1');
    }
    await waitFor('the best-times screen', 30, async () => (await state()) === 3);
  });
  // The desktop's recorded run watched in the page: the course, the fog, the
  // marble and the text of a frame that does not depend on either's speed.
  if (comparing) await check(`${edition}: a watched run looks as on the desktop`, async () => {
    await send('Page.removeScriptToEvaluateOnNewDocument', { identifier: keepPictures });
    const run = desktopPictures.run.toString('base64');
    await send('Page.addScriptToEvaluateOnNewDocument', { source: `window.orbivaleEnvironment = { ORBIVALE_FIRST_FRAMES: '/tmp/run' };
        window.orbivaleFiles = { '/tmp/run.orbreplay': '${run}' };
        window.orbivaleArguments = ['--replay', '/tmp/run.orbreplay'];` });
    await send('Page.navigate', { url });
    return likeTheDesktop('run/replay-60');
  });
  await check(`${edition}: the console shows no errors`, async () => {
    await frame();
    if (errors.length) throw new Error(errors.join(' | '));
  });
  await browser.send('Target.closeTarget', { targetId });
}

// The page's own words, not a program that cannot draw.
async function refusedWithoutWebGl(browser, address) {
  const { targetId } = await browser.send('Target.createTarget', { url: `${address}?play=gl` });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const text = await waitFor('the page\'s message', 30, async () => {
    const r = await browser.send('Runtime.evaluate', { expression:
      "(() => { const m = document.getElementById('message'); return m && m.style.display === 'block' ? m.textContent : ''; })()",
      returnByValue: true }, sessionId);
    return r.result.value;
  });
  if (!/WebGL is off or missing/.test(text)) throw new Error(`the page says: ${text}`);
  return text;
}

(async () => {
  let failed = false;
  const server = serve(site, 0, async (srv, address) => {
    if (desktopGl && editions.includes('gl')) {
      try {
        await check('gl: the desktop program shows its first pictures under Xvfb', async () => captureDesktopPictures());
      } catch (e) {
        failed = true;
      }
    }
    const browser = startBrowser();
    const limit = setTimeout(() => { console.log('FAIL  the browser test ran over its time limit'); process.exit(1); }, 240000);
    for (const edition of editions) {
      try {
        await playEdition(browser, address, edition);
      } catch (e) {
        failed = true;
      }
    }
    if (editions.includes('gl')) {
      const bare = startBrowser(['--disable-webgl']);
      try {
        await check('gl: a browser without WebGL is told so', () => refusedWithoutWebGl(bare, address));
      } catch (e) {
        failed = true;
      }
      bare.close();
    }
    clearTimeout(limit);
    browser.close();
    srv.close();
    for (const m of measures) console.log(`measured: ${m}`);
    const passed = results.filter((r) => r.ok).length;
    console.log(`${passed} passed, ${results.length - passed} failed`);
    process.exit(failed ? 1 : 0);
  });
  void server;
})();
