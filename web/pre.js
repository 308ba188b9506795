// Before main: the data folder the page preloads, and the player's folder
// kept in the browser's IndexedDB, read back before the game starts.
Module.preRun = Module.preRun || [];
// A test may give the program a command line, as on the desktop.
if (window.orbivaleArguments)
  Module.arguments = window.orbivaleArguments;
Module.preRun.push(function () {
  var edition = Module.orbivaleEdition || 'glide';
  var home = '/home/player';
  ENV.HOME = home;
  ENV.ORBIVALE_DATA = '/data/' + edition;
  // Settings and files a test gives the program, as the desktop's
  // environment and folders would.
  var extra = window.orbivaleEnvironment || {};
  for (var name in extra)
    ENV[name] = extra[name];
  if (ENV.ORBIVALE_FIRST_FRAMES)
    FS.mkdirTree(ENV.ORBIVALE_FIRST_FRAMES);
  var files = window.orbivaleFiles || {};
  for (var file in files)
    FS.writeFile(file, Uint8Array.from(atob(files[file]), function (c) { return c.charCodeAt(0); }));
  var folder = home + '/.local/share/orbivale';
  FS.mkdirTree(folder);
  FS.mount(IDBFS, {}, folder);
  addRunDependency('player-files');
  FS.syncfs(true, function (err) {
    if (err)
      console.error('Orbivale: the saved files could not be read from the browser: ' + err);
    removeRunDependency('player-files');
  });
});
// The WebGL canvas keeps its picture after it is shown: a frame with nothing
// new is not drawn again, and the page (and its test) can read the picture.
Module.preRun.push(function () {
  if (typeof EGL !== 'undefined')
    EGL.contextAttributes.preserveDrawingBuffer = true;
});
