#include "html_page.h"

#include "html_escape.h"

namespace {

const char kStyle[] = R"(body{font-family:system-ui,Segoe UI,Arial,sans-serif;margin:1.5em;color:#1b1b1b;background:#fff}
h1{font-size:1.5em;margin:.2em 0}h2{font-size:1.2em;margin-top:1.6em;border-bottom:1px solid #ccc}
nav{font-size:.9em;color:#555}a{color:#0645ad}
table{border-collapse:collapse;font-size:.9em}th,td{border:1px solid #ccc;padding:.25em .5em;text-align:left;vertical-align:top}
td{white-space:pre-wrap;max-width:48em;overflow-wrap:break-word}td.wide{min-width:22em}
th{background:#eef1f5;position:sticky;top:0}th button{font:inherit;font-weight:bold;border:0;background:none;cursor:pointer;padding:0}
th[aria-sort=ascending] button::after{content:" \25B2"}th[aria-sort=descending] button::after{content:" \25BC"}
tbody tr:nth-child(even){background:#f8f9fb}tr:target{outline:2px solid #d08000;background:#fff3d6}
tr.error td{background:#fde7e7}tr.warning td{background:#fff6db}
.tools{margin:.5em 0}.filter{padding:.2em .4em;width:20em}.shown{color:#555;font-size:.9em;margin-left:.5em}
.scroll{overflow-x:auto}.facts th{background:none;position:static;white-space:nowrap}
.alert,.calm{margin-top:1.5em}.alert{border:2px solid #c62828;background:#fff5f5;padding:.5em 1em;border-radius:4px}
.alert h2{color:#c62828;border:0;margin-top:.3em}.calm{border:1px solid #9c9;background:#f4fbf4;padding:.5em 1em;border-radius:4px}
.empty{color:#555;font-style:italic}
nav.pages{margin:.6em 0}nav.pages .off{color:#888}.note,.more{color:#555;font-size:.9em}
)";

// Sorting and filtering of every table of class "data"; dates carry a data-key.
const char kScript[] = R"(
(function () {
  'use strict';
  function keyOf(row, column) {
    var cell = row.cells[column];
    if (!cell) return '';
    var key = cell.getAttribute('data-key');
    return key !== null ? key : cell.textContent;
  }
  var number = /^\s*-?\d+(\.\d+)?\s*$/;
  function compare(a, b) {
    if (number.test(a) && number.test(b)) return parseFloat(a) - parseFloat(b);
    a = a.toLowerCase();
    b = b.toLowerCase();
    return a < b ? -1 : a > b ? 1 : 0;
  }
  function sortTable(table, column) {
    var headers = table.tHead.rows[0].cells;
    var descending = headers[column].getAttribute('aria-sort') === 'ascending';
    var body = table.tBodies[0];
    var rows = Array.prototype.map.call(body.rows, function (row, index) { return [row, index]; });
    rows.sort(function (x, y) {
      var order = compare(keyOf(x[0], column), keyOf(y[0], column));
      return (descending ? -order : order) || x[1] - y[1];
    });
    rows.forEach(function (pair) { body.appendChild(pair[0]); });
    Array.prototype.forEach.call(headers, function (header, index) {
      if (index === column) header.setAttribute('aria-sort', descending ? 'descending' : 'ascending');
      else header.removeAttribute('aria-sort');
    });
  }
  function filterTable(table, text, counter) {
    var wanted = text.toLowerCase();
    var rows = table.tBodies[0].rows;
    var shown = 0;
    Array.prototype.forEach.call(rows, function (row) {
      var match = row.textContent.toLowerCase().indexOf(wanted) !== -1;
      row.hidden = !match;
      if (match) shown++;
    });
    if (counter) counter.textContent = shown + ' of ' + rows.length + ' rows';
  }
  Array.prototype.forEach.call(document.querySelectorAll('table.data'), function (table) {
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (header, column) {
      header.querySelector('button').addEventListener('click', function () { sortTable(table, column); });
    });
  });
  Array.prototype.forEach.call(document.querySelectorAll('input.filter'), function (input) {
    var table = document.getElementById(input.getAttribute('data-table'));
    var counter = document.getElementById(input.getAttribute('data-table') + '-shown');
    input.addEventListener('input', function () { filterTable(table, input.value, counter); });
  });
})();
)";

}  // namespace

std::string RenderHtmlPage(const std::string& title, const std::string& navigation, const std::string& body) {
    return std::string("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n") +
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "style-src 'unsafe-inline'; script-src 'unsafe-inline'\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<title>" + EscapeHtml(title) + "</title>\n<style>\n" + kStyle + "</style>\n</head>\n<body>\n" +
           "<nav>" + navigation + "</nav>\n" + body + "<script>" + kScript + "</script>\n</body>\n</html>\n";
}
