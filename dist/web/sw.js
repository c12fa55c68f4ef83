// Keeps the page working without a network once it has loaded: the browser
// keeps a copy of every file of the program and answers from it when the server
// cannot be reached. While the server answers, its files always win, so a newer
// folder put on the server is what the next visit gets.
'use strict';

const CACHE = 'dragon-valley';
const FILES = ['./', 'index.html', 'qtloader.js', 'dragon-valley.js', 'dragon-valley.wasm', 'icon.png'];

self.addEventListener('install', event => {
    event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(FILES)));
});

self.addEventListener('fetch', event => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) {
        return;
    }
    event.respondWith(fetch(request).then(response => {
        if (response.ok) {
            const copy = response.clone();
            event.waitUntil(caches.open(CACHE).then(cache => cache.put(request, copy)));
        }
        return response;
    }, () => caches.match(request, { ignoreSearch: true }).then(kept => kept ?? Response.error())));
});
