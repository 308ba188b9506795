// Before main: the data folder the page preloads, and the player's folder
// kept in the browser's IndexedDB, read back before the game starts.
Module.preRun = Module.preRun || [];
Module.preRun.push(function () {
  var edition = Module.orbivaleEdition || 'glide';
  var home = '/home/player';
  ENV.HOME = home;
  ENV.ORBIVALE_DATA = '/data/' + edition;
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
