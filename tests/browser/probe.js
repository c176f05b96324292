// Added to a copy of a page the program wrote: it writes what a reader sees
// of the page, one fact per line, into a <pre id="tarnvel-probe"> at its end.
(function () {
  var out = [];
  function text(node) { return node.innerText.replace(/\s+/g, ' ').trim(); }
  out.push('title: ' + document.title);
  var items = document.querySelectorAll('ul li');
  out.push('navigation entries: ' + items.length);
  items.forEach(function (li) {
    var link = li.querySelector('a');
    out.push('navigation: ' + text(li) + ' -> ' + (link ? link.getAttribute('href') : '(this page)'));
  });
  document.querySelectorAll('h4, h3').forEach(function (h) { out.push(h.tagName.toLowerCase() + ': ' + text(h)); });
  var results = null;
  document.querySelectorAll('table').forEach(function (t) { if (t.querySelector('th')) results = t; });
  if (results === null) {
    out.push('results table: none');
  } else {
    out.push('results rows: ' + results.rows.length);
    for (var i = 0; i < results.rows.length; ++i) {
      var row = results.rows[i];
      out.push('row ' + i + ': ' + row.cells.length + ' ' + row.cells[0].tagName.toLowerCase() +
               ' cells, background ' + getComputedStyle(row).backgroundColor + ', first cell ' + text(row.cells[0]));
    }
  }
  var pre = document.createElement('pre');
  pre.id = 'tarnvel-probe';
  pre.textContent = '\n' + out.join('\n') + '\n';
  document.body.appendChild(pre);
})();
