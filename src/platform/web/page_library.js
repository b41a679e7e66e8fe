// The page's side of the web build: the menu, the keys, the pointer and touches over the canvas,
// the canvas's size in the screen's pixels, and the end of the program. Linked into marbloom.js
// with --js-library.
mergeInto(LibraryManager.library, {
  $MarbloomPage: {
    menu: null,
    // What the program's end takes away again: [target, type, handler, options] and observers.
    listeners: [],
    observers: [],
    // The last position handed to the game, which a finger's drag goes on from; null once a menu
    // entry has been chosen, since "Reset" makes the game forget the pointer.
    pointer: null,
    // Whether the canvas has been given its size yet: null once the program has ended, when a
    // change of the pixel ratio no longer reaches it.
    sized: false,
    listen: function(target, type, handler, options) {
      options = options === undefined ? true : options;
      target.addEventListener(type, handler, options);
      MarbloomPage.listeners.push([target, type, handler, options]);
    },
    // Opens the menu at a point of the viewport, kept whole on the screen, its first entry focused.
    openMenu: function(x, y) {
      var menu = MarbloomPage.menu;
      if (!menu) return;
      menu.hidden = false;
      menu.style.left = Math.max(0, Math.min(x, window.innerWidth - menu.offsetWidth)) + 'px';
      menu.style.top = Math.max(0, Math.min(y, window.innerHeight - menu.offsetHeight)) + 'px';
      menu.firstChild.focus();
    },
    closeMenu: function() {
      if (MarbloomPage.menu) MarbloomPage.menu.hidden = true;
    },
    // Canvas pixels at a point of the viewport: the canvas's CSS box may be smaller than its
    // pixels (a dense screen) or larger.
    canvasPoint: function(at) {
      var canvas = Module['canvas'];
      var box = canvas.getBoundingClientRect();
      return [Math.floor((at.clientX - box.left) * canvas.width / box.width),
              Math.floor((at.clientY - box.top) * canvas.height / box.height)];
    },
  },

  marbloom_page_menu_entry__deps: ['$MarbloomPage'],
  marbloom_page_menu_entry: function(label, value) {
    if (!MarbloomPage.menu) {
      var menu = document.createElement('div');
      menu.className = 'marbloom-menu';
      menu.setAttribute('role', 'menu');
      menu.hidden = true;
      // Beside the canvas, so that it shows in fullscreen too.
      Module['canvas'].parentNode.appendChild(menu);
      MarbloomPage.menu = menu;
    }
    var entry = document.createElement('button');
    entry.setAttribute('role', 'menuitem');
    entry.textContent = UTF8ToString(label);
    entry.dataset.value = value;
    MarbloomPage.menu.appendChild(entry);
  },

  // The menu opens at the pointer in place of the browser's own, under the page's "Menu" button,
  // or where a finger is held (page_listen_pointer); it closes on a choice, a click or touch
  // elsewhere, or Escape, which gives the focus back to where it was.
  marbloom_page_menu_attach__deps: ['$MarbloomPage'],
  marbloom_page_menu_attach: function(choose) {
    var menu = MarbloomPage.menu;
    if (!menu) return;
    var opener = null;
    MarbloomPage.listen(Module['canvas'], 'contextmenu', function(event) {
      event.preventDefault();
      opener = null;
      MarbloomPage.openMenu(event.clientX, event.clientY);
    });
    document.querySelectorAll('[data-opens-menu]').forEach(function(button) {
      MarbloomPage.listen(button, 'click', function() {
        var box = button.getBoundingClientRect();
        opener = button;
        MarbloomPage.openMenu(box.left, box.bottom);
      });
    });
    MarbloomPage.listen(menu, 'click', function(event) {
      var value = event.target.dataset.value;
      if (value === undefined) return;
      MarbloomPage.closeMenu();
      MarbloomPage.pointer = null;
      if (opener) opener.focus();
      {{{ makeDynCall('vi', 'choose') }}}(Number(value));
    });
    function outside(event) {
      if (!menu.contains(event.target) && !(opener && opener.contains(event.target))) MarbloomPage.closeMenu();
    }
    MarbloomPage.listen(window, 'mousedown', outside);
    MarbloomPage.listen(window, 'touchstart', outside, { capture: true, passive: true });
    MarbloomPage.listen(window, 'keydown', function(event) {
      if (event.key === 'Escape' && !menu.hidden) {
        MarbloomPage.closeMenu();
        if (opener) opener.focus();
      }
    });
  },

  // The game's keys, wherever the focus is, so that it hears them without a click; everything
  // else stays the browser's (Tab and Shift+Tab, Enter and Space on the page's buttons, and its
  // shortcuts). The page's buttons with data-key type their key.
  marbloom_page_listen_keys__deps: ['$MarbloomPage'],
  marbloom_page_listen_keys: function(typed, special) {
    // GLUT's codes of the arrow keys.
    var arrows = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103 };
    var letters = 'hHjJkKqQ';
    MarbloomPage.listen(window, 'keydown', function(event) {
      if (event.ctrlKey || event.altKey || event.metaKey || event.isComposing) return;
      if (Object.prototype.hasOwnProperty.call(arrows, event.key)) {
        event.preventDefault();
        {{{ makeDynCall('vi', 'special') }}}(arrows[event.key]);
      } else if (event.key.length === 1 && letters.indexOf(event.key) >= 0) {
        event.preventDefault();
        {{{ makeDynCall('vi', 'typed') }}}(event.key.charCodeAt(0));
      }
    });
    document.querySelectorAll('[data-key]').forEach(function(button) {
      MarbloomPage.listen(button, 'click', function() {
        {{{ makeDynCall('vi', 'typed') }}}(button.dataset.key.charCodeAt(0));
      });
    });
  },

  // The pointer: moves over the canvas with no button held, and every move while one is (a drag
  // that started on the canvas goes on beyond it), each with the position just reached; the left
  // and middle buttons' presses on the canvas and their releases.
  // One finger on the canvas: the browser neither scrolls, zooms, selects nor navigates. A drag
  // moves the pointer by the finger's travel from where the pointer last was, so that it aims as
  // the pointer does with no button held; a tap is the left button's press and release; held
  // about half a second without moving, it opens the menu there. Other fingers are ignored.
  marbloom_page_listen_pointer__deps: ['$MarbloomPage', '$GLUT'],
  marbloom_page_listen_pointer: function(moved, pressed) {
    var canvas = Module['canvas'];
    // The toolkit's own touch listeners (on a touch screen) would press the mouse a second time
    // for every tap, from listeners the browser keeps passive.
    ['touchstart', 'touchmove', 'touchend'].forEach(function(type) {
      window.removeEventListener(type, GLUT.touchHandler, true);
    });
    var slop = 10;  // CSS pixels a finger may stray and still tap or hold
    var holdMs = 500;
    function move(held, point) {
      var last = MarbloomPage.pointer;
      if (last && last[0] === point[0] && last[1] === point[1]) return;
      MarbloomPage.pointer = point;
      {{{ makeDynCall('viii', 'moved') }}}(held ? 1 : 0, point[0], point[1]);
    }
    function press(button, state, point) {
      {{{ makeDynCall('viiii', 'pressed') }}}(button, state, point[0], point[1]);
    }
    MarbloomPage.listen(window, 'mousemove', function(event) {
      var held = event.buttons !== 0;
      if (!held && event.target !== canvas) return;
      move(held, MarbloomPage.canvasPoint(event));
    });
    var down = [false, false];
    // A press on the canvas gives the game the keyboard, in another site's iframe too (whose page
    // the arrows would otherwise scroll): the left button's default focuses the canvas and so its
    // frame, which no script can do in Firefox. Only the middle button's, scrolling, is prevented.
    MarbloomPage.listen(canvas, 'mousedown', function(event) {
      if (event.button > 1) return;
      if (event.button === 1) event.preventDefault();
      down[event.button] = true;
      press(event.button, 0, MarbloomPage.canvasPoint(event));
    });
    MarbloomPage.listen(window, 'mouseup', function(event) {
      if (event.button > 1 || !down[event.button]) return;
      down[event.button] = false;
      press(event.button, 1, MarbloomPage.canvasPoint(event));
    });

    var finger = null;
    function ours(event) {
      if (!finger) return null;
      for (var i = 0; i < event.changedTouches.length; ++i) {
        if (event.changedTouches[i].identifier === finger.id) return event.changedTouches[i];
      }
      return null;
    }
    var active = { capture: false, passive: false };
    MarbloomPage.listen(canvas, 'touchstart', function(event) {
      event.preventDefault();
      // A touch's prevented default focuses nothing: a keyboard beside the screen plays too.
      canvas.focus({ preventScroll: true });
      if (finger) return;
      var touch = event.changedTouches[0];
      var from = MarbloomPage.canvasPoint(touch);
      var pointer = MarbloomPage.pointer;
      finger = { id: touch.identifier, x: touch.clientX, y: touch.clientY, from: from,
                 base: pointer ? pointer[0] : 0, at: from, dragging: false, held: false };
      var it = finger;
      it.timer = setTimeout(function() {
        it.held = true;
        MarbloomPage.openMenu(it.x, it.y);
      }, holdMs);
    }, active);
    MarbloomPage.listen(canvas, 'touchmove', function(event) {
      event.preventDefault();
      var touch = ours(event);
      if (!touch || finger.held) return;
      if (!finger.dragging && Math.hypot(touch.clientX - finger.x, touch.clientY - finger.y) > slop) {
        finger.dragging = true;
        clearTimeout(finger.timer);
      }
      if (finger.dragging) {
        var point = MarbloomPage.canvasPoint(touch);
        move(false, [finger.base + point[0] - finger.from[0], point[1]]);
      }
    }, active);
    function lift(event) {
      var touch = ours(event);
      if (!touch) return;
      event.preventDefault();
      clearTimeout(finger.timer);
      if (event.type === 'touchend' && !finger.dragging && !finger.held) {
        press(0, 0, finger.from);
        press(0, 1, finger.from);
      }
      finger = null;
    }
    MarbloomPage.listen(canvas, 'touchend', lift, active);
    MarbloomPage.listen(canvas, 'touchcancel', lift, active);
  },

  // The canvas's pixels follow its CSS size times the device's pixel ratio, which a zoom or a move
  // to another screen changes too; the game hears of each new size as a window's reshape.
  marbloom_page_follow_canvas__deps: ['$MarbloomPage'],
  marbloom_page_follow_canvas: function(resized) {
    var canvas = Module['canvas'];
    function apply(width, height) {
      width = Math.max(1, Math.round(width));
      height = Math.max(1, Math.round(height));
      if (width === canvas.width && height === canvas.height && MarbloomPage.sized) return;
      MarbloomPage.sized = true;
      // Setting a size, even the one it has, makes the browser make the canvas's pixels anew and
      // wait for its GPU to do so (tens of milliseconds at the start).
      if (canvas.width !== width) canvas.width = width;
      if (canvas.height !== height) canvas.height = height;
      {{{ makeDynCall('vii', 'resized') }}}(width, height);
    }
    function measure() {
      var box = canvas.getBoundingClientRect();
      apply(box.width * window.devicePixelRatio, box.height * window.devicePixelRatio);
    }
    measure();
    if (typeof ResizeObserver !== 'undefined') {
      var observer = new ResizeObserver(function(entries) {
        var entry = entries[entries.length - 1];
        var width = entry.contentRect.width * window.devicePixelRatio;
        var height = entry.contentRect.height * window.devicePixelRatio;
        // The device's own pixels where the browser knows them (a fractional CSS size rounds
        // there as the screen does), unless they are not those of the pixel ratio (an emulated
        // screen reports the host's).
        var exact = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
        if (exact && Math.abs(exact.inlineSize - width) <= 1 && Math.abs(exact.blockSize - height) <= 1) {
          width = exact.inlineSize;
          height = exact.blockSize;
        }
        apply(width, height);
      });
      try {
        observer.observe(canvas, { box: 'device-pixel-content-box' });
      } catch (e) {
        observer.observe(canvas);
      }
      MarbloomPage.observers.push(observer);
    }
    MarbloomPage.listen(window, 'resize', measure);
    // A new pixel ratio with the same CSS size (a move to another screen) is seen here.
    (function watchRatio() {
      if (!window.matchMedia) return;
      var query = window.matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)');
      var changed = function() {
        if (MarbloomPage.sized === null) return;
        measure();
        watchRatio();
      };
      if (query.addEventListener) query.addEventListener('change', changed, { once: true });
    })();
  },

  // A lost WebGL context is given back only to a page that asks for it, by preventing the loss's
  // default. The page tells the player meanwhile (Module.onContextLost and onContextRestored).
  marbloom_page_watch_context__deps: ['$MarbloomPage'],
  marbloom_page_watch_context: function(lost, restored) {
    var canvas = Module['canvas'];
    MarbloomPage.listen(canvas, 'webglcontextlost', function(event) {
      event.preventDefault();
      {{{ makeDynCall('v', 'lost') }}}();
      if (Module['onContextLost']) Module['onContextLost']();
    });
    MarbloomPage.listen(canvas, 'webglcontextrestored', function() {
      {{{ makeDynCall('v', 'restored') }}}();
      if (Module['onContextRestored']) Module['onContextRestored']();
    });
  },

  // The program index.html made as the page opened, or a new one after a lost context, under a
  // name of emscripten's GL for webgl_draw.cpp.
  marbloom_page_program__deps: ['$GL'],
  marbloom_page_program: function() {
    var program = Module['program'] || Module['makeProgram'](GLctx);
    Module['program'] = null;
    var id = GL.getNewId(GL.programs);
    program.name = id;
    GL.programs[id] = program;
    return id;
  },

  // The trace a callback printed is written out once it returns; one that fails first (a fault in
  // the WebAssembly ends it with an error) has its lines written out all the same.
  marbloom_page_flush_on_error__deps: ['$MarbloomPage'],
  marbloom_page_flush_on_error: function() {
    MarbloomPage.listen(window, 'error', function() {
      if (ABORT) return;
      try {
        _fflush(0);
      } catch (e) {
        // A program too broken to flush has nothing more to say.
      }
    });
  },

  marbloom_page_start_timer__deps: ['$safeSetTimeout'],
  marbloom_page_start_timer: function(delay, fired, callback, value) {
    safeSetTimeout(function() { {{{ makeDynCall('vii', 'fired') }}}(callback, value); }, delay);
  },

  // exit() alone leaves the toolkit's timers running; a forced exit ends the runtime, which
  // drops them and removes the toolkit's listeners, and calls the page's Module.onExit. The
  // exception that unwinds an exit is caught here: the handler that quit returns normally.
  marbloom_page_end__deps: ['$MarbloomPage', 'emscripten_force_exit'],
  marbloom_page_end: function(status) {
    MarbloomPage.closeMenu();
    MarbloomPage.listeners.forEach(function(l) { l[0].removeEventListener(l[1], l[2], l[3]); });
    MarbloomPage.listeners = [];
    MarbloomPage.observers.forEach(function(o) { o.disconnect(); });
    MarbloomPage.observers = [];
    MarbloomPage.sized = null;
    try {
      _emscripten_force_exit(status);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
    }
  },
});
