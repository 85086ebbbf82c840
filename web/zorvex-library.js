// What the game needs from the browser that Emscripten's GLUT, GLU, GL and GLEW give differently
// from the desktop's, and the win box's side in the runtime. Linked into every page with
// --js-library (cmake/Web.cmake); the page (index.html) supplies the Module hooks named below:
//   onFramePresented()                       after every glutSwapBuffers
//   showMessageBox(caption, text, dismissed) opens the dialog; calls dismissed() when it closes

var ZorvexLibrary = {
  $Zorvex__deps: ['$GLUT', '$callUserCallback'],
  // Before main: glutInit registers GLUT.onKeydown and GLUT.onKeyup with the window.
  $Zorvex__postset: 'Zorvex.interceptGlutKeys();',
  $Zorvex: {
    ignoreKeyRepeat: false,
    // While the win box is up the game neither draws nor takes keys: its timers wait here.
    messageBoxShown: false,
    heldCallbacks: [],

    interceptGlutKeys: function() {
      var glutKeydown = GLUT.onKeydown;
      var glutKeyup = GLUT.onKeyup;
      GLUT.onKeydown = function(event) {
        // A held key repeats its keydown; with the repeat ignored the game sees one press.
        if (event.repeat && Zorvex.ignoreKeyRepeat) return;
        Zorvex.passKey(glutKeydown, event);
      };
      GLUT.onKeyup = function(event) {
        Zorvex.passKey(glutKeyup, event);
      };
    },

    // GLUT cancels the browser's default for every key it hands on, Tab and F5 among them; the
    // page cancels only the keys that would scroll it. callUserCallback ends quietly on exit().
    passKey: function(glutHandler, event) {
      if (Zorvex.messageBoxShown) return;
      var keyOnly = {
        'keyCode': event.keyCode,
        'shiftKey': event.shiftKey,
        'ctrlKey': event.ctrlKey,
        'altKey': event.altKey,
        'metaKey': event.metaKey,
        'preventDefault': function() {},
      };
      callUserCallback(function() { glutHandler(keyOnly); });
    },

    whenNoMessageBox: function(callback) {
      if (Zorvex.messageBoxShown)
        Zorvex.heldCallbacks.push(callback);
      else
        callback();
    },

    releaseHeldCallbacks: function() {
      var held = Zorvex.heldCallbacks;
      Zorvex.heldCallbacks = [];
      held.forEach(function(callback) { callUserCallback(callback); });
    },
  },

  glutIgnoreKeyRepeat: function(ignore) {
    Zorvex.ignoreKeyRepeat = ignore != 0;
  },

  // Emscripten's own version, except that a timer due while the win box is up waits for it.
  glutTimerFunc__deps: ['$safeSetTimeout'],
  glutTimerFunc: function(msec, func, value) {
    safeSetTimeout(function() {
      Zorvex.whenNoMessageBox(function() { {{{ makeDynCall('vi', 'func') }}}(value); });
    }, msec);
  },

  // The browser presents the canvas by itself; the page counts the frames.
  glutSwapBuffers: function() {
    if (Module['onFramePresented']) Module['onFramePresented']();
  },

  // The fixed-function matrices, which Emscripten does not emulate without LEGACY_GL_EMULATION:
  // nothing the game draws reads them.
  glMatrixMode: function(mode) {},
  glLoadIdentity: function() {},
  gluOrtho2D: function(left, right, bottom, top) {},

  // A texture made by a static initialiser asks for its name before any context exists; desktop
  // GL hands out nothing then, which leaves the name 0.
  glGenTextures__deps: ['$GL', '_glGenObject'],
  glGenTextures: function(n, textures) {
    if (!GLctx) {
      for (var i = 0; i < n; i++) {{{ makeSetValue('textures', 'i*4', '0', 'i32') }}};
      return;
    }
    __glGenObject(n, textures, 'createTexture', GL.textures);
  },

  // Emscripten's GLEW looks versions up in the extension list, where they never are. WebGL 2,
  // with the emulation that FULL_ES2 adds, offers all the game asks of OpenGL 3.3.
  glewIsSupported__deps: ['$GLEW', '$GL'],
  glewIsSupported: function(name) {
    var offered = UTF8ToString(name).split(' ').every(function(feature) {
      var version = /^GL_VERSION_(\d+)_(\d+)$/.exec(feature);
      if (!version) return GLEW.extensionIsSupported(feature);
      var webgl2 = GL.currentContext && GL.currentContext.version >= 2;
      return webgl2 && Number(version[1]) * 10 + Number(version[2]) <= 33;
    });
    return offered ? 1 : 0;
  },

  // The desktop's exit() ends the process, pending timers with it. Here a pending timer would
  // keep the runtime alive and the game running, so exit() shuts it down regardless.
  exit__deps: ['emscripten_force_exit'],
  exit: function(status) {
    _emscripten_force_exit(status);
  },

  zorvex_show_message_box__deps: ['$Asyncify', '$handleException'],
  zorvex_show_message_box: function(caption, text) {
    var show = Module['showMessageBox'];
    if (!show) return 0;
    return Asyncify.handleSleep(function(wakeUp) {
      Zorvex.messageBoxShown = true;
      show(UTF8ToString(caption), UTF8ToString(text), function() {
        Zorvex.messageBoxShown = false;
        // Resumes the game inside its frame; an exit() there ends the page as anywhere else.
        try {
          wakeUp(1);
        } catch (e) {
          handleException(e);
        }
        Zorvex.releaseHeldCallbacks();
      });
    });
  },
};

autoAddDeps(ZorvexLibrary, '$Zorvex');
mergeInto(LibraryManager.library, ZorvexLibrary);
