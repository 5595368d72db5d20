(function () {
  'use strict';
  var number = /^\s*-?\d+(\.\d+)?\s*$/;
  function compareText(a, b) {
    if (number.test(a) && number.test(b)) return parseFloat(a) - parseFloat(b);
    a = a.toLowerCase();
    b = b.toLowerCase();
    return a < b ? -1 : a > b ? 1 : 0;
  }
  function setSorted(headers, column, descending) {
    Array.prototype.forEach.call(headers, function (header, index) {
      if (index === column) header.setAttribute('aria-sort', descending ? 'descending' : 'ascending');
      else header.removeAttribute('aria-sort');
    });
  }
  function keyOf(row, column) {
    var cell = row.cells[column];
    if (!cell) return '';
    var key = cell.getAttribute('data-key');
    return key !== null ? key : cell.textContent;
  }
  function staticTable(table) {
    var headers = table.tHead.rows[0].cells;
    Array.prototype.forEach.call(headers, function (header, column) {
      header.querySelector('button').addEventListener('click', function () {
        var descending = header.getAttribute('aria-sort') === 'ascending';
        var body = table.tBodies[0];
        var rows = Array.prototype.map.call(body.rows, function (row, index) { return [row, index]; });
        rows.sort(function (x, y) {
          var order = compareText(keyOf(x[0], column), keyOf(y[0], column));
          return (descending ? -order : order) || x[1] - y[1];
        });
        rows.forEach(function (pair) { body.appendChild(pair[0]); });
        setSorted(headers, column, descending);
      });
    });
    var input = document.querySelector('input.filter[data-table="' + table.id + '"]');
    var counter = document.getElementById(table.id + '-shown');
    if (!input) return;
    input.addEventListener('input', function () {
      var wanted = input.value.toLowerCase(), shown = 0, rows = table.tBodies[0].rows;
      Array.prototype.forEach.call(rows, function (row) {
        var match = row.textContent.toLowerCase().indexOf(wanted) !== -1;
        row.hidden = !match;
        if (match) shown++;
      });
      if (counter) counter.textContent = shown + ' of ' + rows.length + ' rows';
    });
  }
  Array.prototype.forEach.call(document.querySelectorAll('table.data.static'), staticTable);

  function hashValue(name) {
    var hash = window.location.hash.replace(/^#/, '');
    var at = hash.indexOf(name + '=');
    if (at !== 0) return null;
    try { return decodeURIComponent(hash.slice(name.length + 1)); } catch (e) { return null; }
  }

  // The table drawn from data: d.columns, d.rows (arrays of texts), d.keys
  // (sort keys of date-time columns by column), d.pos (each row's anchor
  // number), d.css (row classes), d.links (targets by column), d.filters
  // (columns chosen from a list), d.utc and d.windows (time windows).
  function grid(d) {
    var table = document.getElementById(d.id);
    var box = table.parentNode;
    var body = table.tBodies[0];
    var input = document.querySelector('input.filter[data-table="' + d.id + '"]');
    var counter = document.getElementById(d.id + '-shown');
    var headers = table.tHead.rows[0].cells;
    var rows = d.rows, all = rows.length, texts = null, view = [], rowHeight = 0, target = -1;
    var columns = d.columns.length, selects = [], windowSelect = null, showAll = false;
    var allButton = document.getElementById(d.id + '-all'), opened = {};
    function textOf(i) {
      if (!texts) {
        texts = new Array(all);
        for (var r = 0; r < all; r++) texts[r] = rows[r].join('\u0001').toLowerCase();
      }
      return texts[i];
    }
    function apply() {
      var wanted = input ? input.value.toLowerCase() : '';
      var chosen = selects.map(function (s) { return [s.column, s.element.value]; }).filter(function (c) { return c[1] !== ''; });
      var since = null;
      if (windowSelect && windowSelect.value !== '') since = parseFloat(windowSelect.value);
      var next = [];
      for (var i = 0; i < all; i++) {
        if (wanted && textOf(i).indexOf(wanted) === -1) continue;
        var keep = true;
        for (var c = 0; c < chosen.length && keep; c++) keep = rows[i][chosen[c][0]] === chosen[c][1];
        if (keep && since !== null) keep = d.utc[i] >= since;
        if (keep) next.push(i);
      }
      if (sortColumn >= 0) sortView(next);
      view = next;
      counter.textContent = view.length + ' of ' + all + ' rows';
      table.setAttribute('aria-rowcount', String(view.length + 1));
      draw();
    }
    var sortColumn = -1, descending = false, numeric = {};
    function isNumeric(column) {
      if (!(column in numeric)) {
        var yes = true, seen = false;
        for (var i = 0; i < all && yes; i++) {
          var v = rows[i][column];
          if (v === '') continue;
          seen = true;
          yes = number.test(v);
        }
        numeric[column] = yes && seen;
      }
      return numeric[column];
    }
    function sortView(list) {
      var column = sortColumn, keys = d.keys && d.keys[column];
      var asNumber = !keys && isNumeric(column), sign = descending ? -1 : 1;
      list.sort(function (a, b) {
        var x, y, order;
        if (keys) { x = keys[a]; y = keys[b]; order = x < y ? -1 : x > y ? 1 : 0; }
        else if (asNumber) { x = parseFloat(rows[a][column]); y = parseFloat(rows[b][column]); order = (isNaN(x) ? -Infinity : x) - (isNaN(y) ? -Infinity : y); if (isNaN(order)) order = 0; }
        else { x = rows[a][column].toLowerCase(); y = rows[b][column].toLowerCase(); order = x < y ? -1 : x > y ? 1 : 0; }
        return sign * order || a - b;
      });
    }
    function cell(tr, r, c) {
      var td = document.createElement('td'), text = rows[r][c];
      var link = d.links && d.links[c] && d.links[c][r];
      if (link) {
        var a = document.createElement('a');
        a.href = link;
        a.textContent = text;
        td.appendChild(a);
      } else {
        td.textContent = text;
      }
      if (text.length > 40) {
        td.title = text;
        td.className = opened[r + ',' + c] ? 'long open' : 'long';
        td.setAttribute('data-cell', r + ',' + c);
      }
      tr.appendChild(td);
    }
    function spacer(height) {
      var tr = document.createElement('tr'), td = document.createElement('td');
      tr.className = 'spacer';
      tr.setAttribute('aria-hidden', 'true');
      td.colSpan = columns;
      td.style.height = height + 'px';
      tr.appendChild(td);
      return tr;
    }
    function draw() {
      var height = rowHeight || 24;
      var visible = Math.ceil(box.clientHeight / height) + 1;
      var first = showAll ? 0 : Math.max(0, Math.floor(box.scrollTop / height) - 10);
      var last = showAll ? view.length : Math.min(view.length, first + visible + 20);
      var fragment = document.createDocumentFragment();
      if (first > 0) fragment.appendChild(spacer(first * height));
      for (var i = first; i < last; i++) {
        var r = view[i], tr = document.createElement('tr');
        tr.id = 'i' + d.pos[r];
        tr.setAttribute('aria-rowindex', String(i + 2));
        var css = d.css ? d.css[r] : '';
        if (r === target) css += ' target';
        if (css) tr.className = css;
        for (var c = 0; c < columns; c++) cell(tr, r, c);
        fragment.appendChild(tr);
      }
      if (last < view.length) fragment.appendChild(spacer((view.length - last) * height));
      body.textContent = '';
      body.appendChild(fragment);
      if (!rowHeight && last > first) {
        var drawn = body.querySelector('tr:not(.spacer)');
        if (drawn && drawn.offsetHeight) { rowHeight = drawn.offsetHeight; draw(); }
      }
    }
    Array.prototype.forEach.call(headers, function (header, column) {
      header.querySelector('button').addEventListener('click', function () {
        descending = sortColumn === column && !descending;
        sortColumn = column;
        setSorted(headers, column, descending);
        sortView(view);
        draw();
      });
    });
    (d.filters || []).forEach(function (f) {
      var element = document.getElementById(d.id + '-by-' + f.column);
      if (!element) return;
      var seen = {}, values = [];
      for (var i = 0; i < all; i++) {
        var v = rows[i][f.column];
        if (!seen[v]) { seen[v] = true; values.push(v); }
      }
      values.sort().forEach(function (v) {
        var option = document.createElement('option');
        option.value = v;
        option.textContent = v;
        element.appendChild(option);
      });
      selects.push({column: f.column, element: element});
      element.addEventListener('change', apply);
    });
    if (d.windows) {
      windowSelect = document.getElementById(d.id + '-window');
      d.windows.forEach(function (w) {
        var option = document.createElement('option');
        option.value = String(w.since);
        option.textContent = w.label;
        windowSelect.appendChild(option);
      });
      windowSelect.addEventListener('change', apply);
    }
    if (input) input.addEventListener('input', apply);
    function setShowAll(on) {
      showAll = on;
      box.classList.toggle('all', on);
      if (allButton) {
        allButton.setAttribute('aria-pressed', on ? 'true' : 'false');
        allButton.textContent = on ? 'Show rows as scrolled' : 'Show all rows';
      }
      draw();
    }
    if (allButton) allButton.addEventListener('click', function () { setShowAll(!showAll); });
    // A printed table holds every row of the current view.
    var before = false;
    window.addEventListener('beforeprint', function () { before = showAll; if (!showAll) setShowAll(true); });
    window.addEventListener('afterprint', function () { if (!before) setShowAll(false); });
    // A long value wraps in full on a click, and back.
    body.addEventListener('click', function (event) {
      var td = event.target.closest ? event.target.closest('td.long') : null;
      if (!td || event.target.closest('a')) return;
      var at = td.getAttribute('data-cell');
      opened[at] = !opened[at];   // kept while the rows are drawn again
      td.classList.toggle('open', opened[at]);
    });
    box.addEventListener('scroll', function () { if (!showAll) window.requestAnimationFrame(draw); });
    window.addEventListener('resize', function () { if (!showAll) draw(); });
    function follow() {
      var wanted = hashValue('q');
      if (wanted !== null && input) { input.value = wanted; target = -1; apply(); return; }
      var anchor = /^#i(\d+)$/.exec(window.location.hash);
      target = -1;
      if (anchor) {
        for (var r = 0; r < all; r++) if (String(d.pos[r]) === anchor[1]) target = r;
      }
      apply();
      var at = view.indexOf(target);
      if (target >= 0 && at === -1 && input) { input.value = ''; apply(); at = view.indexOf(target); }
      if (at >= 0) {
        box.scrollTop = Math.max(0, at * (rowHeight || 24) - box.clientHeight / 3);
        draw();
        box.scrollIntoView({block: 'start'});
      }
    }
    window.addEventListener('hashchange', follow);
    follow();
  }
  window.norbixTable = grid;
})();
