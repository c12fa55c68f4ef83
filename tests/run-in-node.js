// Runs a test program of the browser build under node and exits with its status.
// Qt builds every WebAssembly program as a module whose entry function a page
// calls (Emscripten's MODULARIZE) and then calls main itself, as its qtloader.js
// does; `node tst_x.js` alone would run nothing and pass.
//
//   node run-in-node.js tst_x.js [test function or option]...
'use strict';

const path = require('node:path');

const [program, ...args] = process.argv.slice(2);
// Qt asks the browser for the user's languages at start; node 20 has no navigator.
globalThis.navigator ??= { language: 'en-US', languages: ['en-US'] };

process.exitCode = 1; // until main says otherwise
require(path.resolve(program))({
    // main's status, as Emscripten hands it over when main returns
    quit: status => { process.exitCode = status; },
}).then(instance => {
    instance.callMain(args);
}).catch(error => {
    console.error(`${program}: ${error}`);
    process.exitCode = 1;
});
