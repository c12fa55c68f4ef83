// The browser side of scripts/check-web.sh: plays tests/session.txt on the page in
// headless Firefox ESR and Chromium (puppeteer-core) at 100 % and 200 %, and compares
// the canvas after each "shot" with the Linux window's (tests/sessionshots.cpp) pixel
// for pixel, and the lists a screen reader gets with the Linux lists; it also checks
// the page around the window and that nothing is fetched once the program runs, and
// in Chromium a tap, a browser without WebAssembly and a visit once the server is gone.
//   node check-web.js URL SESSION LINUX_SHOTS OUTDIR SERVER_PID
// LINUX_SHOTS holds 1x/ and 2x/ with NAME.png and NAME.txt for each shot; the
// server (process SERVER_PID) is stopped at the end.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const { PNG } = require('pngjs');

const [url, sessionFile, linuxShots, outDir, serverPid] = process.argv.slice(2);
const WINDOW = { width: 453, height: 469 };
const DRAWING = { x: 10, y: 34, size: 296 }; // the canvas's drawing area in the window
const KEYS = { Right: 'ArrowRight', Left: 'ArrowLeft', Up: 'ArrowUp', Down: 'ArrowDown',
               Return: 'Enter', Space: 'Space', Home: 'Home', Tab: 'Tab' };

let passed = 0;
let failed = 0;
function check(ok, what)
{
    console.log(`${ok ? 'ok    ' : 'FAILED'} ${what}`);
    ok ? ++passed : ++failed;
    return ok;
}

function readSession(file)
{
    return fs.readFileSync(file, 'utf8').split('\n')
        .map(line => line.replace(/#.*/, '').trim().split(/\s+/))
        .filter(words => words[0] !== '');
}

const pixel = (png, x, y) => {
    const i = (y * png.width + x) * 4;
    return [png.data[i], png.data[i + 1], png.data[i + 2]];
};
const isBlack = ([r, g, b]) => r === 0 && g === 0 && b === 0;

// How many pixels two pictures differ in.
function differing(actual, expected)
{
    if (actual.width !== expected.width || actual.height !== expected.height) {
        return Infinity;
    }
    let count = 0;
    for (let i = 0; i < actual.data.length; i += 4) {
        count += [0, 1, 2].some(c => actual.data[i + c] !== expected.data[i + c]) ? 1 : 0;
    }
    return count;
}

// The entries of the page's lists for a screen reader (app/webreader.cpp), and
// the Linux window's at the same shot (tests/sessionshots.cpp writes "X: a b",
// "Y: ...", then one verdict a line): each entry is heard as its point, with a
// decimal comma ("Точка 1: 13,51351" for the list's "13.51351").
async function entriesHeard(page)
{
    return page.evaluate(() => reader.controls.filter(c => c.getAttribute('role') === 'listbox')
        .map(list => [...list.children].map(option => option.textContent)));
}

function linuxEntries(file)
{
    return fs.readFileSync(file, 'utf8').split('\n').slice(0, 2)
        .map(line => line.replace(/^[XY]: ?/, '').split(' ').filter(Boolean)
            .map((value, row) => `Точка ${row + 1}: ${value.replace('.', ',')}`));
}

async function frames(page)
{
    // Qt draws on the browser's animation frames.
    await page.evaluate(() => new Promise(done => requestAnimationFrame(() => requestAnimationFrame(done))));
}

async function press(page, combination)
{
    const names = combination.split('+');
    const key = KEYS[names.pop()];
    for (const modifier of names) {
        await page.keyboard.down(modifier);
    }
    await page.keyboard.press(key);
    for (const modifier of names.reverse()) {
        await page.keyboard.up(modifier);
    }
}

async function playAt(browser, name, scale)
{
    const [at, tag] = [`${name} ${scale}x`, `${name}-${scale}x`];
    const page = await browser.newPage();
    // Firefox takes pointer positions and screenshot rectangles in whole CSS pixels: a
    // page there that puts the window on them at 200 % too.
    const odd = name === 'firefox' ? 1 : 0;
    await page.setViewport({ width: 800 + odd, height: 700 + odd, deviceScaleFactor: scale });
    const origin = new URL(url).origin;
    const requests = [];
    page.on('request', request => requests.push(request.url()));
    page.on('pageerror', error => console.log(`page error: ${error.message}`));

    const loadStart = Date.now();
    await page.goto(url);
    await page.waitForFunction(() => document.getElementById('status').hidden, { timeout: 180000 });
    await frames(page);
    console.log(`${at}: the program started ${Date.now() - loadStart} ms after the page was asked for`);
    const loaded = requests.filter(u => !u.startsWith('data:'));
    check(loaded.every(u => u.startsWith(origin + '/')),
          `${at}: everything loaded comes from the page's own folder (${loaded.map(u => u.slice(origin.length)).join(' ')})`);
    const page_ = await page.evaluate(() => {
        const box = document.getElementById('screen').getBoundingClientRect();
        return { title: document.title, icon: document.querySelector('link[rel=icon]')?.href,
                 left: box.left, top: box.top, width: box.width, height: box.height,
                 pageWidth: document.documentElement.clientWidth,
                 pageHeight: document.documentElement.clientHeight };
    });
    check(page_.title === 'Долината на дракона', `${at}: the page's title is the program's name`);
    const icon = await page.evaluate(async href => {
        const response = await fetch(href, { cache: 'force-cache' });
        return `${response.status} ${response.headers.get('Content-Type')}`;
    }, page_.icon);
    check(page_.icon === `${origin}/icon.png` && icon === '200 image/png',
          `${at}: the hamburger is the page's icon (${page_.icon}: ${icon})`);
    check(page_.width === WINDOW.width && page_.height === WINDOW.height,
          `${at}: the window is ${page_.width} by ${page_.height} CSS pixels`);
    check(Math.abs(page_.left - (page_.pageWidth - WINDOW.width) / 2) <= 1
          && Math.abs(page_.top - (page_.pageHeight - WINDOW.height) / 2) <= 1,
          `${at}: the window is in the middle of the page`);
    check(Number.isInteger(page_.left * scale) && Number.isInteger(page_.top * scale),
          `${at}: the window lies on whole device pixels (${page_.left}, ${page_.top})`);

    // Once it runs, the program needs no network at all; the browser has kept
    // its files for a later visit (sw.js) before that.
    const kept = await page.evaluate(() => Promise.race([
        navigator.serviceWorker.ready.then(() => true),
        new Promise(done => setTimeout(() => done(false), 30000))]));
    check(kept, `${at}: the browser keeps a copy of the program (its service worker is ready)`);
    await page.setOfflineMode(true);
    const requestsAtStart = requests.length;

    for (const [action, ...args] of readSession(sessionFile)) {
        if (action === 'click') {
            const [x, y] = args.map(Number);
            await page.mouse.click(page_.left + x, page_.top + y);
        } else if (action === 'key') {
            await press(page, args[0]);
        } else if (action === 'shot') {
            await page.mouse.move(1, 1); // no hover, no tooltip
            await frames(page);
            await new Promise(done => setTimeout(done, 300));
            await frames(page);
            const shotName = args[0];
            const shot = PNG.sync.read(Buffer.from(await page.screenshot({
                clip: { x: page_.left + DRAWING.x, y: page_.top + DRAWING.y,
                        width: DRAWING.size, height: DRAWING.size } })));
            const linux = PNG.sync.read(fs.readFileSync(path.join(linuxShots, `${scale}x`, `${shotName}.png`)));
            fs.writeFileSync(path.join(outDir, `${tag}-${shotName}.png`), PNG.sync.write(shot));
            const count = differing(shot, linux);
            check(count === 0, `${at} ${shotName}: the canvas is the Linux one, ${count} of `
                  + `${shot.width * shot.height} pixels differ`);
            const heard = await entriesHeard(page);
            const listed = linuxEntries(path.join(linuxShots, `${scale}x`, `${shotName}.txt`));
            check(JSON.stringify(heard) === JSON.stringify(listed),
                  `${at} ${shotName}: a screen reader gets the Linux lists' entries (${heard.flat().length})`);
        } else if (action === 'window') {
            await page.screenshot({ path: path.join(outDir, `page-${tag}-${args[0]}.png`) });
        } else {
            throw new Error(`${sessionFile}: unknown action ${action}`);
        }
        await frames(page);
    }
    check(requests.length === requestsAtStart,
          `${at}: no request once the program ran (${requests.length - requestsAtStart} made)`);
    await page.close();
}

// Opens the page afresh, presses the canvas beside the illustration (a tap or
// a click) and tells whether the program drew the point's dot there, and
// whether the browser's copy (sw.js) served the page.
async function pressPlacesPoint(browser, touch, shotName)
{
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 700, deviceScaleFactor: 1, hasTouch: touch, isMobile: touch });
    await page.goto(url);
    await page.waitForFunction(() => document.getElementById('status').hidden, { timeout: 180000 });
    const box = await page.$eval('#screen', element => element.getBoundingClientRect().toJSON());
    // What the viewport shows as it is: a capture "beyond the viewport" (the
    // default) may change the emulated touch screen's metrics for a moment, and
    // a tap then lands on a window that Qt is laying out again.
    const drawing = async () => PNG.sync.read(Buffer.from(await page.screenshot({
        captureBeyondViewport: false,
        clip: { x: box.left + DRAWING.x, y: box.top + DRAWING.y, width: DRAWING.size, height: DRAWING.size } })));
    // On a busy machine Qt may draw some frames later: up to ten seconds for
    // the valley to show before the press, and as long for the dot after it.
    const until = async done => {
        let shot;
        for (const start = Date.now(); Date.now() - start < 10000;) {
            await frames(page);
            shot = await drawing();
            if (done(shot)) {
                break;
            }
        }
        return shot;
    };
    await until(shot => shot.data.some(value => value !== 255));
    const [x, y] = [15, 284];
    if (touch) {
        await page.touchscreen.tap(box.left + x, box.top + y);
    } else {
        await page.mouse.click(box.left + x, box.top + y);
    }
    const shot = await until(shot => isBlack(pixel(shot, x - DRAWING.x, y - DRAWING.y)));
    fs.writeFileSync(path.join(outDir, shotName), PNG.sync.write(shot));
    const fromCopy = await page.evaluate(() => navigator.serviceWorker.controller !== null);
    await page.close();
    return { placed: isBlack(pixel(shot, x - DRAWING.x, y - DRAWING.y)), fromCopy };
}

// The page opened again with the server gone: from the browser's copy.
async function withoutServer(browser)
{
    process.kill(Number(serverPid));
    await new Promise(done => setTimeout(done, 500));
    const served = await fetch(url).then(() => true, () => false);
    const { placed, fromCopy } = await pressPlacesPoint(browser, false, 'without-server.png');
    check(!served && fromCopy && placed,
          'with the server gone, the page opens again from the browser\'s copy and a click places a point');
}

async function withoutWebAssembly(browser)
{
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => { delete globalThis.WebAssembly; });
    await page.goto(url);
    await page.waitForSelector('#status.failed', { timeout: 30000 });
    const text = await page.$eval('#message', element => element.textContent);
    await page.screenshot({ path: path.join(outDir, 'no-webassembly.png') });
    check(text.includes('WebAssembly'), `without WebAssembly the page says so: "${text}"`);
    await page.close();
}

(async () => {
    // Firefox through WebDriver BiDi, Chromium (as root, nothing of its own on the
    // network) through its DevTools protocol, last as it stops the server.
    for (const name of ['firefox', 'chromium']) {
        const browser = await puppeteer.launch(name === 'firefox'
            ? { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true }
            : { executablePath: '/usr/bin/chromium', headless: true,
                args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                       '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
        try {
            console.log(`browser: ${await browser.version()}`);
            for (const scale of [1, 2]) {
                await playAt(browser, name, scale);
            }
            if (name === 'chromium') { // on a touch screen a tap is a press
                check((await pressPlacesPoint(browser, true, 'tap.png')).placed, 'a tap on the canvas places a point');
                await withoutWebAssembly(browser);
                await withoutServer(browser);
            }
        } catch (error) {
            check(false, `${name}: the session ran to its end: ${error.message}`);
        } finally {
            await browser.close();
        }
    }
    console.log(`check-web: ${passed} passed, ${failed} failed`);
    process.exitCode = failed === 0 ? 0 : 1;
})();
