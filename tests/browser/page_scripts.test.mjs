// Runs the bridge bootstrap and the page-marks script, as the engine composes them, in Chromium
// at document start, and checks what page script sees.
// Usage: node page_scripts.test.mjs <path of print_page_scripts>
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import vm from 'node:vm';
import { chromium } from 'playwright-core';

const printer = process.argv[2];
if (!printer) throw new Error('usage: node page_scripts.test.mjs <print_page_scripts>');

const scripts = (() => {
  const dir = mkdtempSync(path.join(tmpdir(), 'quendari-scripts-'));
  try {
    execFileSync(printer, [dir], { stdio: ['ignore', 'inherit', 'inherit'] });
    return {
      bootstrap: readFileSync(path.join(dir, 'bridge_bootstrap.js'), 'utf8'),
      marks: readFileSync(path.join(dir, 'page_marks.js'), 'utf8'),
    };
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
})();

// Stands in for WebView2's `window.chrome.webview`, recording each posted message.
const post_stub =
  'window.__posted = []; window.chrome = {webview: {postMessage(m) { window.__posted.push(m); }}};';
// Records every error that reaches the window, so the checks can tell that nothing escaped.
const error_recorder =
  'window.__errors = []; window.addEventListener("error", function(e) {' +
  ' window.__errors.push(String(e.message)); });';

// The first thing each page runs: what the document looked like before any other page script.
function seen_by_page() {
  const root = document.documentElement;
  let storage;
  try {
    storage = sessionStorage.getItem('quendari-shell');
  } catch (e) {
    storage = 'throws ' + e.name;
  }
  return {
    shell: root.getAttribute('data-shell'),
    win: root.getAttribute('data-win'),
    storage,
    bridge: typeof window.__webview__,
  };
}
const report = `<script>window.__seen = (${seen_by_page})();</script>`;

const pages = {
  '/blank.html': '<!doctype html><html><head><title>blank</title></head><body></body></html>',
  '/first.html': `<!doctype html><html><head>${report}<title>first</title></head>` +
    '<body><a id="next" href="/second.html">next</a></body></html>',
  '/second.html': `<!doctype html><html><head>${report}<title>second</title></head>` +
    '<body></body></html>',
  '/bare.html': `${report}<p>a document without html, head or body tags</p>`,
  '/parent.html': '<!doctype html><html><head>' +
    '<script>window.__frame_reports = []; window.addEventListener("message",' +
    ' function(e) { window.__frame_reports.push(e.data); });</script>' +
    `${report}</head><body>` +
    '<iframe sandbox="allow-scripts" src="/frame.html"></iframe></body></html>',
  '/frame.html': '<!doctype html><html><head>' +
    `<script>parent.postMessage({seen: (${seen_by_page})(), errors: window.__errors,` +
    ' origin: String(window.origin)}, "*");</script></head><body>frame</body></html>',
};

let server;
let origin;
let browser;

before(async () => {
  server = http.createServer((request, response) => {
    const body = pages[new URL(request.url, 'http://127.0.0.1').pathname];
    response.writeHead(body === undefined ? 404 : 200, { 'content-type': 'text/html' });
    response.end(body ?? 'not found');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await browser?.close();
  await new Promise((resolve) => (server ? server.close(resolve) : resolve()));
});

// A fresh context whose documents run `init_scripts` at document start, in order; page errors
// are collected in `errors`.
async function open_page(init_scripts) {
  const context = await browser.newContext();
  for (const content of init_scripts) await context.addInitScript({ content });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  return { context, page, errors };
}

// The application's order: the bridge first, then the page marks.
const app_scripts = () => [post_stub, error_recorder, scripts.bootstrap, scripts.marks];

describe('bridge bootstrap as text', () => {
  const text = scripts.bootstrap;

  test('is one strict-mode function expression invoked at once', () => {
    assert.match(text, /^\(function\(\) \{\n {2}"use strict";\n/);
    assert.ok(text.endsWith('})()'), 'ends with "})()"');
    // Parses only if the whole text is a single expression.
    assert.doesNotThrow(() => new vm.Script(`(${text}\n)`));
  });

  test('has no trailing semicolon or line feed', () => {
    assert.notEqual(text.at(-1), ';');
    assert.notEqual(text.at(-1), '\n');
  });

  test('calls the WebView2 post function from post', () => {
    const post_function =
      'function(message) {\n  return window.chrome.webview.postMessage(message);\n}';
    assert.ok(text.includes(`return (${post_function})(message);`));
  });
});

describe('bridge bootstrap in the page', () => {
  let opened;
  const page = () => opened.page;

  before(async () => {
    opened = await open_page(app_scripts());
    await page().goto(`${origin}/blank.html`);
  });
  after(async () => opened.context.close());

  test('its methods are strict-mode functions', async () => {
    const outcome = await page().evaluate(() => {
      try {
        return String(Object.getPrototypeOf(window.__webview__).call.caller);
      } catch (e) {
        return e.constructor.name;
      }
    });
    assert.equal(outcome, 'TypeError');
  });

  test('call posts id, method and params in that order, params an array', async () => {
    const posted = await page().evaluate(() => {
      window.__posted.length = 0;
      window.__webview__.call('anything', 1, 2);
      window.__webview__.call('none');
      window.__webview__.call('nested', { a: [1, 'two'] }, null, 'x');
      return window.__posted.slice();
    });
    assert.equal(posted.length, 3);
    const messages = posted.map((text) => JSON.parse(text));
    for (const message of messages) {
      assert.deepEqual(Object.keys(message), ['id', 'method', 'params']);
    }
    assert.equal(posted[0], `{"id":"${messages[0].id}","method":"anything","params":[1,2]}`);
    assert.equal(posted[1], `{"id":"${messages[1].id}","method":"none","params":[]}`);
    assert.deepEqual(messages[2].params, [{ a: [1, 'two'] }, null, 'x']);
  });

  test('ids are 32 lower-case hex digits and differ between calls', async () => {
    const ids = await page().evaluate(() => {
      window.__posted.length = 0;
      for (let i = 0; i < 200; ++i) window.__webview__.call('id');
      return window.__posted.map((text) => JSON.parse(text).id);
    });
    for (const id of ids) assert.match(id, /^[0-9a-f]{32}$/);
    assert.equal(new Set(ids).size, ids.length);
  });

  test('a call that gets no reply stays pending', async () => {
    const state = await page().evaluate(async () => {
      const promise = window.__webview__.call('unanswered', 1);
      const settled = promise.then(() => 'resolved', () => 'rejected');
      await new Promise((resolve) => setTimeout(resolve, 100));
      return Promise.race([settled, Promise.resolve('pending')]);
    });
    assert.equal(state, 'pending');
  });

  test('onReply settles the promise by status and parsed result', async () => {
    const outcomes = await page().evaluate(async () => {
      const replies = [
        [0, undefined],
        [0, '[1,{"a":2}]'],
        [1, '"x"'],
        [1, undefined],
        ['0', '5'],
        [0, 'not json'],
        [2, '{'],
        [2, '"No native function \\"x\\""'],
      ];
      const results = [];
      for (const [status, result] of replies) {
        window.__posted.length = 0;
        const promise = window.__webview__.call('reply');
        const id = JSON.parse(window.__posted[0]).id;
        window.__webview__.onReply(id, status, result);
        results.push(await promise.then(
          (value) => ({ state: 'resolved', type: typeof value, value }),
          (reason) => ({
            state: 'rejected',
            type: reason instanceof Error ? 'Error' : typeof reason,
            value: reason instanceof Error ? reason.message : reason,
          })));
      }
      return results;
    });
    const parse_error = {
      state: 'rejected', type: 'Error', value: 'Failed to parse binding result as JSON',
    };
    assert.deepEqual(outcomes, [
      { state: 'resolved', type: 'undefined', value: undefined },
      { state: 'resolved', type: 'object', value: [1, { a: 2 }] },
      { state: 'rejected', type: 'string', value: 'x' },
      { state: 'rejected', type: 'undefined', value: undefined },
      { state: 'rejected', type: 'number', value: 5 },
      parse_error,
      parse_error,
      { state: 'rejected', type: 'Error', value: 'No native function "x"' },
    ]);
  });

  test('onBind refuses a name window already has, onUnbind one it lacks', async () => {
    const messages = await page().evaluate(() => {
      const thrown = (action) => {
        try {
          action();
          return 'nothing thrown';
        } catch (e) {
          return `${e.constructor.name}: ${e.message}`;
        }
      };
      return [
        thrown(() => window.__webview__.onBind('__webview__')),
        thrown(() => window.__webview__.onUnbind('quendari_missing')),
      ];
    });
    assert.deepEqual(messages, [
      'Error: Property "__webview__" already exists',
      'Error: Property "quendari_missing" does not exist',
    ]);
  });

  test('a bound name calls through the bridge and can be unbound', async () => {
    const outcome = await page().evaluate(async () => {
      window.__posted.length = 0;
      window.__webview__.onBind('add');
      const promise = window.add(3, 4);
      const message = JSON.parse(window.__posted[0]);
      window.__webview__.onReply(message.id, 0, '7');
      const value = await promise;
      let rebind;
      try {
        window.__webview__.onBind('add');
      } catch (e) {
        rebind = e.message;
      }
      window.__webview__.onUnbind('add');
      return { message, value, rebind, still_there: Object.hasOwn(window, 'add') };
    });
    assert.deepEqual(Object.keys(outcome.message), ['id', 'method', 'params']);
    assert.equal(outcome.message.method, 'add');
    assert.deepEqual(outcome.message.params, [3, 4]);
    assert.match(outcome.message.id, /^[0-9a-f]{32}$/);
    assert.equal(outcome.value, 7);
    assert.equal(outcome.rebind, 'Property "add" already exists');
    assert.equal(outcome.still_there, false);
  });

  test('nothing escaped into the page', async () => {
    assert.deepEqual(opened.errors, []);
    assert.deepEqual(await page().evaluate(() => window.__errors), []);
  });
});

describe('page marks', () => {
  const marked = { shell: 'app', win: '', storage: 'app', bridge: 'object' };

  test('the first script in head sees both attributes and the sessionStorage entry', async () => {
    const { context, page, errors } = await open_page(app_scripts());
    await page.goto(`${origin}/first.html`);
    assert.deepEqual(await page.evaluate(() => window.__seen), marked);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a document reached by navigation is marked again', async () => {
    const { context, page, errors } = await open_page(app_scripts());
    await page.goto(`${origin}/first.html`);
    // Take the marks away so that only a fresh run of the script can bring them back.
    await page.evaluate(() => {
      sessionStorage.removeItem('quendari-shell');
      document.documentElement.removeAttribute('data-shell');
      document.documentElement.removeAttribute('data-win');
    });
    await Promise.all([page.waitForURL('**/second.html'), page.click('#next')]);
    assert.deepEqual(await page.evaluate(() => window.__seen), marked);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a document without html and head tags is marked', async () => {
    const { context, page, errors } = await open_page(app_scripts());
    await page.goto(`${origin}/bare.html`);
    assert.deepEqual(await page.evaluate(() => window.__seen), marked);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('an opaque-origin sandboxed frame gets both attributes and nothing escapes', async () => {
    const { context, page, errors } = await open_page(app_scripts());
    await page.goto(`${origin}/parent.html`);
    await page.waitForFunction(() => window.__frame_reports.length > 0);
    const [frame] = await page.evaluate(() => window.__frame_reports);
    assert.equal(frame.origin, 'null', 'the frame runs in an opaque origin');
    assert.deepEqual(frame.seen,
      { shell: 'app', win: '', storage: 'throws SecurityError', bridge: 'object' });
    assert.deepEqual(frame.errors, []);
    assert.deepEqual(await page.evaluate(() => window.__seen), marked);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('run on a document that already has its root, it marks at once', async () => {
    const { context, page } = await open_page([]);
    await page.goto(`${origin}/blank.html`);
    const now = await page.evaluate((script) => {
      (0, eval)(script);
      const root = document.documentElement;
      return [root.getAttribute('data-shell'), root.getAttribute('data-win')];
    }, scripts.marks);
    assert.deepEqual(now, ['app', '']);
    await context.close();
  });

  test('the script as first written sets nothing at document start', async () => {
    const as_first_written =
      "(function(){try{document.documentElement.setAttribute('data-shell','app');" +
      "document.documentElement.setAttribute('data-win','');" +
      "sessionStorage.setItem('quendari-shell','app');}catch(e){}})();";
    const { context, page, errors } = await open_page([error_recorder, as_first_written]);
    await page.goto(`${origin}/first.html`);
    assert.deepEqual(await page.evaluate(() => window.__seen),
      { shell: null, win: null, storage: null, bridge: 'undefined' });
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('the harness sees an error that escapes a document-start script', async () => {
    const { context, page, errors } = await open_page(
      [error_recorder, 'throw new Error("escaped on purpose");']);
    await page.goto(`${origin}/first.html`);
    const recorded = await page.evaluate(() => window.__errors);
    assert.ok(recorded.some((text) => text.includes('escaped on purpose')), String(recorded));
    assert.ok(errors.some((text) => text.includes('escaped on purpose')), String(errors));
    await context.close();
  });
});
