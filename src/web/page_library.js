// The page's side of the web build: the right button's menu, the pointer's moves over the canvas
// and the end of the program. Linked into marbloom.js with --js-library.
mergeInto(LibraryManager.library, {
  $MarbloomPage: {
    menu: null,
    listeners: [],
    // Adds an event listener that the program's end takes away again.
    listen: function(target, type, handler) {
      target.addEventListener(type, handler, true);
      MarbloomPage.listeners.push([target, type, handler]);
    },
    closeMenu: function() {
      if (MarbloomPage.menu) MarbloomPage.menu.hidden = true;
    },
    // Canvas pixels from a mouse event, as the canvas is drawn (its CSS size may differ).
    canvasPoint: function(event) {
      var canvas = Module['canvas'];
      var box = canvas.getBoundingClientRect();
      return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
              Math.floor((event.clientY - box.top) * canvas.height / box.height)];
    },
  },

  marbloom_page_menu_entry__deps: ['$MarbloomPage'],
  marbloom_page_menu_entry: function(label, value) {
    if (!MarbloomPage.menu) {
      var menu = document.createElement('div');
      menu.className = 'marbloom-menu';
      menu.setAttribute('role', 'menu');
      menu.hidden = true;
      document.body.appendChild(menu);
      MarbloomPage.menu = menu;
    }
    var entry = document.createElement('button');
    entry.setAttribute('role', 'menuitem');
    entry.textContent = UTF8ToString(label);
    entry.dataset.value = value;
    MarbloomPage.menu.appendChild(entry);
  },

  // The menu opens at the pointer in place of the browser's own, and closes on a choice, a click
  // elsewhere or Escape.
  marbloom_page_menu_attach__deps: ['$MarbloomPage'],
  marbloom_page_menu_attach: function(choose) {
    var menu = MarbloomPage.menu;
    if (!menu) return;
    MarbloomPage.listen(Module['canvas'], 'contextmenu', function(event) {
      event.preventDefault();
      menu.style.left = event.pageX + 'px';
      menu.style.top = event.pageY + 'px';
      menu.hidden = false;
      menu.firstChild.focus();
    });
    MarbloomPage.listen(menu, 'click', function(event) {
      var value = event.target.dataset.value;
      if (value === undefined) return;
      MarbloomPage.closeMenu();
      {{{ makeDynCall('vi', 'choose') }}}(Number(value));
    });
    MarbloomPage.listen(window, 'mousedown', function(event) {
      if (!menu.contains(event.target)) MarbloomPage.closeMenu();
    });
    MarbloomPage.listen(window, 'keydown', function(event) {
      if (event.key === 'Escape') MarbloomPage.closeMenu();
    });
  },

  // Moves over the canvas with no button held, and every move while one is (a drag that
  // started on the canvas goes on beyond it), each with the position just reached.
  marbloom_page_listen_pointer__deps: ['$MarbloomPage'],
  marbloom_page_listen_pointer: function(moved) {
    var last = null;
    MarbloomPage.listen(window, 'mousemove', function(event) {
      var held = event.buttons !== 0;
      if (!held && event.target !== Module['canvas']) return;
      var point = MarbloomPage.canvasPoint(event);
      if (last && last[0] === point[0] && last[1] === point[1]) return;
      last = point;
      {{{ makeDynCall('viii', 'moved') }}}(held ? 1 : 0, point[0], point[1]);
    });
  },

  // exit() alone leaves the toolkit's timers running; a forced exit ends the runtime, which
  // drops them and removes the toolkit's listeners, and calls the page's Module.onExit. The
  // exception that unwinds an exit is caught here: the handler that quit returns normally.
  marbloom_page_end__deps: ['$MarbloomPage', 'emscripten_force_exit'],
  marbloom_page_end: function(status) {
    MarbloomPage.closeMenu();
    MarbloomPage.listeners.forEach(function(l) { l[0].removeEventListener(l[1], l[2], true); });
    MarbloomPage.listeners = [];
    try {
      _emscripten_force_exit(status);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
    }
  },
});
