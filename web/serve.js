// Serves the browser edition's folder on 127.0.0.1 (node's own modules only).
// Usage: node serve.js FOLDER [PORT]; PORT 0 picks a free one. Prints the address.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.json': 'application/json',
};

function serve(folder, port, ready) {
  const root = path.resolve(folder);
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    const file = path.join(root, url === '/' ? 'index.html' : url);
    if (!file.startsWith(root + path.sep)) {
      res.writeHead(403).end();
      return;
    }
    fs.readFile(file, (err, body) => {
      if (err) {
        res.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
        return;
      }
      res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                           'Cache-Control': 'no-cache' });
      res.end(body);
    });
  });
  server.listen(port, '127.0.0.1', () => ready(server, `http://127.0.0.1:${server.address().port}/`));
  return server;
}

module.exports = { serve };

if (require.main === module) {
  const folder = process.argv[2] || '.';
  const port = Number(process.argv[3] || 8080);
  serve(folder, port, (server, address) => console.log(`Orbivale in a browser: ${address}`));
}
