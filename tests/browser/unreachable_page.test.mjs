// Shows the unreachable page, as the engine composes it, in Chromium the way NavigateToString
// does (content without an origin of its own) and checks what the user sees and what it loads.
// Usage: node unreachable_page.test.mjs <path of print_page_scripts>
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { chromium } from 'playwright-core';

const printer = process.argv[2];
if (!printer) throw new Error('usage: node unreachable_page.test.mjs <print_page_scripts>');

// Every request that reaches the local server, as "METHOD path".
const served = [];
let server;
let origin;
let browser;
let pages;

// The printer's pages, checked to be valid UTF-8 first: a lenient decode would hide stray bytes.
function print_pages() {
  const dir = mkdtempSync(path.join(tmpdir(), 'quendari-pages-'));
  try {
    execFileSync(printer, [dir, origin], { stdio: ['ignore', 'inherit', 'inherit'] });
    const decoder = new TextDecoder('utf-8', { fatal: true });
    const read = (name) => decoder.decode(readFileSync(path.join(dir, `unreachable_${name}.html`)));
    return Object.fromEntries(
      ['offline', 'stopped', 'hostile', 'invalid', 'javascript'].map((name) => [name, read(name)]));
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
}

before(async () => {
  server = http.createServer((request, response) => {
    // Chromium asks for the retried page's icon on its own; that is not the unreachable page.
    if (request.url !== '/favicon.ico') served.push(`${request.method} ${request.url}`);
    response.writeHead(200, { 'content-type': 'text/html' });
    response.end('<!doctype html><title>retried</title><p>retried</p>');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  pages = print_pages();
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

// A fresh context showing page `name`; with `clock` the page's time stands still from before it
// loads and only moves on runFor.
// Everything the page asks of the network, every dialog and every page error is recorded.
async function show(name, { color_scheme = 'light', clock = false } = {}) {
  served.length = 0;
  const context = await browser.newContext({ colorScheme: color_scheme });
  const page = await context.newPage();
  const requests = [];
  const dialogs = [];
  const errors = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('dialog', (dialog) => {
    dialogs.push(dialog.message());
    dialog.dismiss().catch(() => {});
  });
  page.on('pageerror', (error) => errors.push(error.message));
  if (clock) {
    await page.clock.install({ time: 1e12 });
    await page.clock.pauseAt(1e12 + 1000);
  }
  await page.setContent(pages[name]);
  return { context, page, requests, dialogs, errors };
}

// Lets real time pass, for checks that something does not happen.
const settle = () => new Promise((resolve) => setTimeout(resolve, 300));

// Waits for the page to reach exactly `href` (a string would be taken as a glob pattern).
const went_to = (page, href) => page.waitForURL((url) => url.href === href);
const status_text = (page) => page.locator('#status').textContent();
const focused_id = (page) => page.evaluate(() => document.activeElement?.id ?? null);

// WCAG contrast ratio of two computed `rgb(...)` colours.
function contrast(first, second) {
  const luminance = (css) => {
    const [r, g, b] = css.match(/\d+(\.\d+)?/g).slice(0, 3).map(Number).map((value) => {
      const c = value / 255;
      return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [light, dark] = [luminance(first), luminance(second)].sort((a, b) => b - a);
  return (light + 0.05) / (dark + 0.05);
}

describe('unreachable page look', () => {
  for (const [scheme, background] of [['light', 'rgb(255, 255, 255)'], ['dark', 'rgb(32, 32, 32)']]) {
    test(`${scheme} theme: background and readable text`, async () => {
      const { context, page, errors } = await show('offline', { color_scheme: scheme, clock: true });
      const seen = await page.evaluate(() => {
        const style = (selector) => getComputedStyle(document.querySelector(selector));
        const line = document.getElementById('line').getBoundingClientRect();
        return {
          root: style('html').backgroundColor,
          body: style('body').backgroundColor,
          line: style('#line').color,
          status: style('#status').color,
          button: style('#retry').color,
          button_background: style('#retry').backgroundColor,
          line_size: [line.width, line.height],
        };
      });
      assert.equal(seen.root, background);
      assert.equal(seen.body, 'rgba(0, 0, 0, 0)', 'the body shows the root background');
      assert.ok(contrast(seen.line, background) >= 7, `line ${seen.line} on ${background}`);
      assert.ok(contrast(seen.status, background) >= 7, `status ${seen.status} on ${background}`);
      assert.ok(contrast(seen.button, seen.button_background) >= 4.5,
        `button ${seen.button} on ${seen.button_background}`);
      assert.ok(seen.line_size[0] > 0 && seen.line_size[1] > 0);
      assert.deepEqual(errors, []);
      await context.close();
    });
  }

  test('title, one line and Retry as the only control', async () => {
    const { context, page } = await show('offline', { clock: true });
    assert.equal(await page.title(), 'Quendari');
    assert.equal(await page.locator('#line').textContent(), "You're offline.");
    const controls = await page.evaluate(() => [...document.querySelectorAll(
      'a, button, input, select, textarea, iframe, [tabindex], [contenteditable]')]
      .map((element) => element.outerHTML));
    assert.deepEqual(controls, ['<button id="retry" type="button" autofocus="">Retry</button>']);
    assert.equal(await page.locator('#status').getAttribute('aria-live'), 'polite');
    await context.close();
  });
});

describe('unreachable page keyboard', () => {
  test('Retry has focus at load and Enter on it goes to the retry URL', async () => {
    const { context, page, errors } = await show('stopped');
    assert.equal(await focused_id(page), 'retry');
    await Promise.all([went_to(page, `${origin}/retry/stopped`), page.keyboard.press('Enter')]);
    assert.deepEqual(served, ['GET /retry/stopped']);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('Space on Retry goes to the retry URL', async () => {
    const { context, page } = await show('stopped');
    await Promise.all([went_to(page, `${origin}/retry/stopped`), page.keyboard.press('Space')]);
    assert.deepEqual(served, ['GET /retry/stopped']);
    await context.close();
  });

  test('Tab and Shift+Tab keep focus on Retry, and Tab brings lost focus back', async () => {
    const { context, page } = await show('stopped');
    for (const key of ['Tab', 'Tab', 'Shift+Tab']) {
      await page.keyboard.press(key);
      assert.equal(await focused_id(page), 'retry', `after ${key}`);
    }
    await page.evaluate(() => document.activeElement.blur());
    assert.notEqual(await focused_id(page), 'retry');
    await page.keyboard.press('Tab');
    assert.equal(await focused_id(page), 'retry');
    assert.deepEqual(served, []);
    await context.close();
  });
});

describe('unreachable page retries', () => {
  test('counts down each second and retries at 0, not before', async () => {
    const { context, page, errors } = await show('offline', { clock: true });
    for (const left of [5, 4, 3, 2, 1]) {
      assert.equal(await status_text(page), `Retrying in ${left} s`);
      await page.clock.runFor(left > 1 ? 1000 : 999);
    }
    await settle();
    assert.equal(await status_text(page), 'Retrying in 1 s');
    assert.deepEqual(served, []);
    assert.equal(page.url(), 'about:blank');
    await page.clock.runFor(1);
    await went_to(page, `${origin}/retry/offline`);
    assert.deepEqual(served, ['GET /retry/offline']);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('the online event retries at once', async () => {
    const { context, page } = await show('offline', { clock: true });
    await context.setOffline(true);
    await settle();
    assert.deepEqual(served, []);
    await Promise.all([went_to(page, `${origin}/retry/offline`), context.setOffline(false)]);
    assert.deepEqual(served, ['GET /retry/offline']);
    await context.close();
  });

  test('with retry seconds 0 there is no countdown and no retry by itself', async () => {
    const { context, page } = await show('stopped', { clock: true });
    assert.equal(await page.locator('#line').textContent(), 'The page stopped working.');
    assert.equal(await status_text(page), '');
    await page.evaluate(() => window.dispatchEvent(new Event('online')));
    await page.clock.runFor(10 * 60 * 1000);
    await settle();
    assert.equal(await status_text(page), '');
    assert.equal(page.url(), 'about:blank');
    assert.deepEqual(served, []);
    await context.close();
  });
});

describe('unreachable page loads nothing', () => {
  test('no request while shown, and the policy blocks any the page tries', async () => {
    const { context, page, requests } = await show('offline', { clock: true });
    await settle();
    assert.deepEqual(requests, []);
    assert.deepEqual(served, []);
    const outcome = await page.evaluate(async (probe) => {
      const fetched = await fetch(`${probe}/fetch`).then(() => 'loaded', (e) => e.name);
      const image = await new Promise((resolve) => {
        const element = new Image();
        element.onload = () => resolve('loaded');
        element.onerror = () => resolve('error');
        element.src = `${probe}/image`;
      });
      return { fetched, image };
    }, origin);
    assert.deepEqual(outcome, { fetched: 'TypeError', image: 'error' });
    await settle();
    assert.deepEqual(served, []);
    await context.close();
  });
});

describe('unreachable page with hostile input', () => {
  test('markup in the line is shown as text', async () => {
    const { context, page, dialogs, errors } = await show('hostile', { clock: true });
    assert.equal(await page.locator('#line').textContent(),
      'Quendari can\'t reach <img src=x onerror="window.__pwned=1">&amp;\'.');
    assert.equal(await page.locator('img').count(), 0);
    assert.equal(await page.evaluate(() => window.__pwned), undefined);
    assert.deepEqual(dialogs, []);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a retry URL with script markup runs nothing and is followed as given', async () => {
    const { context, page, dialogs, errors, requests } = await show('hostile', { clock: true });
    assert.equal(await page.locator('script').count(), 1);
    // The script survived the URL: its countdown runs.
    assert.equal(await status_text(page), 'Retrying in 3 s');
    assert.equal(await page.evaluate(() => window.__pwned), undefined);
    assert.deepEqual(requests, []);
    const target = new URL(`${origin}/retry/hostile?q="'\\</script><script>window.__pwned=1;` +
      'alert(1)</script><!--\u2028\u2029');
    await Promise.all([went_to(page, target.href), page.click('#retry')]);
    assert.deepEqual(served, [`GET ${target.pathname}${target.search}`]);
    assert.deepEqual(dialogs, []);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('invalid UTF-8 shows as U+FFFD and Retry still works', async () => {
    const { context, page, errors } = await show('invalid');
    assert.equal(await page.locator('#line').textContent(), 'bad \uFFFD( byte \uFFFD.');
    const target = new URL(`${origin}/retry/invalid?\uFFFD\uFFFD`);
    await Promise.all([went_to(page, target.href), page.keyboard.press('Enter')]);
    assert.deepEqual(served, [`GET ${target.pathname}${target.search}`]);
    assert.deepEqual(errors, []);
    await context.close();
  });

  test('a javascript: retry URL is never followed', async () => {
    const { context, page, dialogs, errors, requests } = await show('javascript', { clock: true });
    assert.equal(await status_text(page), '');
    await page.clock.runFor(60 * 1000);
    await page.click('#retry');
    await page.keyboard.press('Enter');
    await page.evaluate(() => window.dispatchEvent(new Event('online')));
    await settle();
    assert.equal(await page.evaluate(() => window.__pwned), undefined);
    assert.equal(page.url(), 'about:blank');
    assert.deepEqual(dialogs, []);
    assert.deepEqual(errors, []);
    assert.deepEqual(requests, []);
    await context.close();
  });
});
