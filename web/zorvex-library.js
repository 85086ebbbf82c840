// What the game needs from the browser that Emscripten's GLUT, GLU, GL and GLEW give differently
// from the desktop's, and the win box's side in the runtime. Linked into every page with
// --js-library (cmake/Web.cmake); the page (index.html) supplies the Module hooks named below:
//   onFramePresented()                       after every glutSwapBuffers
//   showMessageBox(caption, text, dismissed) opens the dialog; calls dismissed() when it closes
//   preinitializedWebGLContext               the context GLUT's window gets (web/webgl.js)

var ZorvexLibrary = {
  $Zorvex__deps: ['$GLUT', '$GL', '$Browser', '$callUserCallback', '$runtimeKeepalivePop'],
  // Before main: glutInit registers GLUT.onKeydown and GLUT.onKeyup with the window.
  $Zorvex__postset: 'Zorvex.interceptGlutKeys(); Zorvex.checkPageContext();',
  $Zorvex: {
    ignoreKeyRepeat: false,
    // While the win box is up the game neither draws nor takes keys, and its timers wait.
    messageBoxShown: false,

    // The game's timers, { due, msec, callback }, fired on the display's refreshes (see
    // glutTimerFunc); while one's callback runs, timerDue is when it was due.
    timers: [],
    timerDue: null,
    watchingRefreshes: false,
    lastRefresh: null,
    firingTimers: false,
    displayAsked: false,

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

    // The page makes the game's context before the game's script loads, with the attributes the
    // game's GLUT asks for; should they ever part, the console says so.
    checkPageContext: function() {
      var createContext = GL.createContext;
      GL.createContext = function(canvas, asked) {
        var got = Module['preinitializedWebGLContext'] && Module['preinitializedWebGLContext'].getContextAttributes();
        if (got && ['alpha', 'antialias', 'depth', 'stencil'].some(function(name) { return !!asked[name] !== got[name]; }))
          err('The page made the WebGL context with other attributes than the game asks for: ' + JSON.stringify(asked));
        return createContext(canvas, asked);
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

    watchRefreshes: function() {
      if (Zorvex.watchingRefreshes) return;
      Zorvex.watchingRefreshes = true;
      requestAnimationFrame(Zorvex.onRefresh);
    },

    // A timer fires at the refresh nearest to when it is due: at this one if the next, one
    // refresh interval on (at most 60 Hz's, so that a stalled refresh fires nothing early), would
    // be further off. A frame the game asks for from a timer is drawn in the same refresh.
    onRefresh: function(now) {
      Zorvex.watchingRefreshes = false;
      if (runtimeExited || ABORT) return;
      var interval = Zorvex.lastRefresh === null ? 1000 / 60 : Math.min(now - Zorvex.lastRefresh, 1000 / 60);
      Zorvex.lastRefresh = now;
      if (!Zorvex.messageBoxShown) {
        var due = Zorvex.timers.filter(function(timer) { return timer.due - interval / 2 <= now; });
        Zorvex.timers = Zorvex.timers.filter(function(timer) { return due.indexOf(timer) < 0; });
        Zorvex.firingTimers = true;
        due.forEach(function(timer) { Zorvex.fire(timer, now); });
        Zorvex.firingTimers = false;
        if (Zorvex.displayAsked) {
          Zorvex.displayAsked = false;
          Zorvex.display();
        }
      }
      if (Zorvex.timers.length > 0) Zorvex.watchRefreshes();
    },

    // A timer set from this callback counts from when this one was due, so that the game's tick
    // keeps its pace; after a stall of more than a tick, from now, so that none are made up.
    fire: function(timer, now) {
      {{{ runtimeKeepalivePop() }}}
      Zorvex.timerDue = now - timer.due < timer.msec ? timer.due : now;
      try {
        callUserCallback(timer.callback);
      } finally {
        Zorvex.timerDue = null;
      }
    },

    display: function() {
      GLUT.requestedAnimationFrame = false;
      Browser.mainLoop.runIter(function() { {{{ makeDynCall('v', 'GLUT.displayFunc') }}}(); });
    },
  },

  glutIgnoreKeyRepeat: function(ignore) {
    Zorvex.ignoreKeyRepeat = ignore != 0;
  },

  // Emscripten's GLUT fires a timer when it is due and draws the frame asked for at the next
  // refresh after that: the game's 33-ms tick drifts against a 60-Hz display's two refreshes, and
  // every so often a frame stays up for three, 50 ms. Here the tick fires on the refresh nearest
  // to when it is due and its frame is drawn in that refresh, so that frames are never more than
  // two refreshes apart; the tick keeps its pace over time. A timer due while the win box is up
  // waits for it.
  glutTimerFunc__deps: ['$Zorvex', '$runtimeKeepalivePush'],
  glutTimerFunc: function(msec, func, value) {
    {{{ runtimeKeepalivePush() }}}
    var from = Zorvex.timerDue !== null ? Zorvex.timerDue : performance.now();
    Zorvex.timers.push({
      due: from + msec,
      msec: msec,
      callback: function() { {{{ makeDynCall('vi', 'func') }}}(value); },
    });
    Zorvex.watchRefreshes();
  },

  // Emscripten's own, except that a frame asked for by a timer is drawn in the timer's refresh.
  glutPostRedisplay__deps: ['$Zorvex', '$GLUT', '$Browser'],
  glutPostRedisplay: function() {
    if (!GLUT.displayFunc || GLUT.requestedAnimationFrame) return;
    GLUT.requestedAnimationFrame = true;
    if (Zorvex.firingTimers)
      Zorvex.displayAsked = true;
    else
      Browser.requestAnimationFrame(Zorvex.display);
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
      });
    });
  },
};

autoAddDeps(ZorvexLibrary, '$Zorvex');
mergeInto(LibraryManager.library, ZorvexLibrary);
