/* The logbook's script, loaded by the bundled templates. The pages are whole
   without it; with it the index page gets search, filters, sorting, the count
   and totals of the dives shown and statistics, rows that open their dive's
   page, a printed logbook of the dives shown made of their pages, and a dive
   page gets the time and depth at a point of its profile and the arrow keys
   to its neighbours. It runs from file:// and loads nothing but the dive
   pages it prints. Totals are worked out from the values as the export wrote them:
   dive times in seconds, depths with their own decimals. */

// Opens the page of the dive numbered n; the engine's icon links call it.
function nw(n) {
  window.location.href = 'd' + n + '.html';
}

(function () {
  'use strict';

  var root = document.documentElement;
  root.classList.add('js', 'loading');

  // Rows laid out at a time: a screenful. Each new row costs the browser its
  // layout, so the first rows of a search are few, and scrolling adds more.
  var PAGE = 30;
  // Longer lists print as lines of text: a browser prints a table of tens of
  // thousands of cells slowly, one line of text per dive quickly.
  var PRINT_TABLE = 1000;
  var NUMERIC = { no: 1, max: 1, avg: 1, dur: 1, temp: 1 };
  // The texts of a row's hidden cell, in the lines template's order.
  var MORE = ['Dive master', 'Boat', 'Weather', 'Visibility', 'Tank', 'Custom fields'];

  function byId(id) { return document.getElementById(id); }

  function cellText(row, column) {
    var cell = row.cells[column];
    return cell ? cell.textContent.trim() : '';
  }

  function number(text) {
    var n = parseFloat(text);
    return isNaN(n) ? 0 : n;
  }

  // A time as the pages write it, "41:37" or "01:44:00", in seconds.
  function seconds(text) {
    if (!/^\d+(:\d+){1,2}$/.test(text)) return 0;
    return text.split(':').reduce(function (sum, part) { return sum * 60 + +part; }, 0);
  }

  // Text as a search compares it: letters without case and accents, so that
  // "halvala" and the same name written with its accents find each other.
  function folded(text) {
    return text.toLowerCase().normalize('NFD').replace(/[\u0300-\u036f]/g, '');
  }

  // A number exactly as written: "17.551" is 17551 units at 3 places.
  function exact(text) {
    var m = /^(-?)(\d+)(?:\.(\d+))?$/.exec(text);
    if (!m) return null;
    var decimals = m[3] || '';
    return { units: (m[1] ? -1 : 1) * +(m[2] + decimals), places: decimals.length };
  }

  // The mean of numbers as written, shown with the decimals of the coarsest
  // of them and at most one: a tenth of a metre is as fine as a depth is told.
  function mean(texts) {
    var values = texts.map(exact).filter(Boolean);
    if (!values.length) return '';
    var finest = 0, coarsest = Infinity;
    values.forEach(function (v) {
      finest = Math.max(finest, v.places);
      coarsest = Math.min(coarsest, v.places);
    });
    var places = Math.min(coarsest, 1);
    var sum = 0;
    values.forEach(function (v) { sum += v.units * Math.pow(10, finest - v.places); });
    var units = Math.round(sum / (values.length * Math.pow(10, finest - places)));
    return (units / Math.pow(10, places)).toFixed(places);
  }

  // The deeper of two dives, by their maximum depth.
  function deeper(a, b) {
    if (!b || !b.maxText) return a;
    if (!a) return b;
    return b.max > a.max ? b : a;
  }

  function group(n) {
    return String(n).replace(/\B(?=(\d{3})+(?!\d))/g, ',');
  }

  // Whole minutes of a time in seconds, the seconds left out as a clock does.
  function hours(time) {
    var minutes = Math.floor(time / 60);
    var m = minutes % 60;
    var h = (minutes - m) / 60;
    return h ? group(h) + ' h ' + (m < 10 ? '0' : '') + m + ' min' : m + ' min';
  }

  function plural(n, word) {
    return group(n) + ' ' + word + (n === 1 ? '' : 's');
  }

  // Dates come as the export wrote them: year first (2024-06-01) or day
  // first (01.06.2024, 01/06/2024). A separator whose middle field ever
  // exceeds 12 is taken as month first (06/21/2024).
  function dateParts(text) {
    var m = /^(\d{4})\D(\d{1,2})\D(\d{1,2})/.exec(text);
    if (m) return { y: +m[1], a: +m[2], b: +m[3], sep: '' };
    m = /^(\d{1,2})(\D)(\d{1,2})\D(\d{2,4})/.exec(text);
    if (m) {
      var y = +m[4];
      if (y < 100) y += y < 70 ? 2000 : 1900;
      return { y: y, a: +m[3], b: +m[1], sep: m[2] };
    }
    return null;
  }

  function dateKeys(dives) {
    var monthFirst = {};
    dives.forEach(function (d) {
      if (d.parts && d.parts.sep && d.parts.a > 12) monthFirst[d.parts.sep] = true;
    });
    dives.forEach(function (d) {
      var p = d.parts;
      var month = 0, day = 0;
      if (p) {
        month = monthFirst[p.sep] ? p.b : p.a;
        day = monthFirst[p.sep] ? p.a : p.b;
      }
      var clock = /(\d{1,2})\D(\d{2})/.exec(d.time);
      d.year = p ? p.y : 0;
      d.date = ((d.year * 100 + month) * 100 + day) * 10000 +
               (clock ? +clock[1] * 100 + +clock[2] : 0);
    });
  }

  // Text columns sort by rank among their distinct values, so a sort of
  // 20,000 rows compares numbers, not strings.
  function rankText(dives, key) {
    var collator = new Intl.Collator(undefined, { sensitivity: 'base', numeric: true });
    var distinct = Object.keys(dives.reduce(function (seen, d) {
      seen[d[key]] = 1;
      return seen;
    }, {})).sort(collator.compare);
    var rank = {};
    distinct.forEach(function (value, i) { rank[value] = i; });
    dives.forEach(function (d) { d[key + 'Rank'] = rank[d[key]]; });
    return distinct;
  }

  function readDives(table) {
    var columns = {};
    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th, i) {
      if (th.dataset.key) columns[th.dataset.key] = i;
    });
    var rows = table.tBodies[0].rows;
    var dives = new Array(rows.length);
    for (var i = 0; i < rows.length; i++) {
      var row = rows[i];
      var d = { row: row, order: i, words: folded(row.textContent), blank: {} };
      Object.keys(columns).forEach(function (key) {
        var text = cellText(row, columns[key]);
        if (!text) d.blank[key] = 1;
        d[key] = key === 'dur' ? seconds(text) : NUMERIC[key] ? number(text) : text;
        if (key === 'max' || key === 'avg') d[key + 'Text'] = text;
      });
      d.dateText = d.date || '';
      d.time = d.time || '';
      d.parts = dateParts(d.dateText);
      dives[i] = d;
    }
    dateKeys(dives);
    return { dives: dives, columns: columns };
  }

  function option(select, value, label) {
    var o = document.createElement('option');
    o.value = value;
    o.textContent = label;
    select.appendChild(o);
  }

  function cell(row, text) {
    row.insertCell().textContent = text;
  }

  function metres(dive) {
    return dive ? dive.maxText + ' m' : '';
  }

  // Per year or per site: dives, time under water, deepest, average depth,
  // last dive.
  function tally(dives, key) {
    var groups = {};
    var list = [];
    dives.forEach(function (d) {
      var name = d[key];
      var g = groups[name];
      if (!g) {
        g = groups[name] = { name: name, dives: 0, seconds: 0, deepest: null, depths: [], last: d };
        list.push(g);
      }
      g.dives++;
      g.seconds += d.dur;
      if (d.avgText) g.depths.push(d.avgText);
      g.deepest = deeper(g.deepest, d);
      if (d.date > g.last.date) g.last = d;
    });
    return list;
  }

  function fillTally(table, list, label) {
    var body = document.createElement('tbody');
    list.forEach(function (g) {
      var row = body.insertRow();
      cell(row, label(g));
      cell(row, group(g.dives));
      cell(row, hours(g.seconds));
      cell(row, metres(g.deepest));
      var depth = mean(g.depths);
      cell(row, depth && depth + ' m');
      cell(row, g.last.dateText);
    });
    table.replaceChild(body, table.tBodies[0]);
  }

  function index(table) {
    var read = readDives(table);
    var dives = read.dives;
    var body = table.tBodies[0];
    var form = document.querySelector('.find');
    var text = byId('find-text');
    var year = byId('find-year');
    var site = byId('find-site');
    var sort = byId('find-sort');
    var shown = byId('shown');
    var more = byId('more');
    var stats = document.querySelector('.stats');
    var allSites = byId('all-sites');
    var sorted = dives.slice();
    var matches = dives;
    var limit = PAGE;
    var siteLimit = 12;
    var order = { key: 'date', dir: -1 };
    var totals;

    var sites = 'site' in read.columns ? rankText(dives, 'site') : [];
    sites.forEach(function (s) { if (s) option(site, s, s); });
    Object.keys(dives.reduce(function (seen, d) {
      if (d.year) seen[d.year] = 1;
      return seen;
    }, {})).sort().reverse().forEach(function (y) { option(year, y, y); });

    // The field a column sorts by; text columns get their ranks when first asked.
    function sortField(key) {
      if (key in NUMERIC || key === 'date') return key;
      if (dives.length && dives[0][key + 'Rank'] === undefined) rankText(dives, key);
      return key + 'Rank';
    }

    function applySort() {
      var field = sortField(order.key);
      var dir = order.dir;
      var key = order.key;
      sorted.sort(function (a, b) {
        // A dive without the value comes after all others, in either order.
        var blankA = key in a.blank, blankB = key in b.blank;
        if (blankA !== blankB) return blankA ? 1 : -1;
        var x = a[field], y = b[field];
        if (x !== y) return x < y ? -dir : dir;
        return dir * (a.order - b.order);
      });
      Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th) {
        if (th.dataset.key === order.key) {
          th.setAttribute('aria-sort', order.dir > 0 ? 'ascending' : 'descending');
        } else {
          th.removeAttribute('aria-sort');
        }
      });
      sort.value = order.key + ':' + order.dir; // no option of that order: the box shows none
    }

    function filter() {
      var words = folded(text.value).split(/\s+/).filter(Boolean);
      var y = +year.value;
      var s = site.value;
      matches = sorted.filter(function (d) {
        if (y && d.year !== y) return false;
        if (s && d.site !== s) return false;
        for (var i = 0; i < words.length; i++) {
          if (d.words.indexOf(words[i]) < 0) return false;
        }
        return true;
      });
      totals = { seconds: 0, deepest: null };
      matches.forEach(function (d) {
        totals.seconds += d.dur;
        totals.deepest = deeper(totals.deepest, d);
      });
    }

    // Lays out the first count matches: anew when fresh, else after the
    // rows already there.
    function list(count, fresh) {
      count = Math.min(count, matches.length);
      if (fresh) {
        var empty = document.createElement('tbody');
        table.replaceChild(empty, body);
        body = empty;
      }
      var fragment = document.createDocumentFragment();
      for (var i = body.rows.length; i < count; i++) fragment.appendChild(matches[i].row);
      body.appendChild(fragment);

      var strong = document.createElement('strong');
      strong.textContent = matches.length !== dives.length
        ? group(matches.length) + ' of ' + plural(dives.length, 'dive')
        : plural(dives.length, 'dive');
      shown.textContent = '';
      shown.appendChild(strong);
      shown.appendChild(document.createTextNode(
        matches.length ? ', ' + hours(totals.seconds) + ' under water' +
                         (totals.deepest ? ', deepest ' + metres(totals.deepest) : '') + '.'
                       : ': none matches.'));
      if (count < matches.length) {
        var partial = document.createElement('span');
        partial.className = 'partial';
        partial.textContent = ' The first ' + group(count) + ' listed.';
        shown.appendChild(partial);
      }
      var rest = matches.length - count;
      more.hidden = rest <= 0;
      more.textContent = 'Show ' + group(Math.min(rest, PAGE)) + ' more (' + group(rest) + ' not shown)';
    }

    // Statistics of the dives that match, worked out while they are open.
    function renderStats() {
      var perYear = tally(matches, 'year').sort(function (a, b) { return b.name - a.name; });
      fillTally(byId('per-year'), perYear, function (g) { return +g.name || 'No date'; });
      var perSite = tally(matches, 'site').sort(function (a, b) {
        return b.dives - a.dives || a.name.localeCompare(b.name);
      });
      fillTally(byId('per-site'), perSite.slice(0, siteLimit), function (g) { return g.name || 'No site'; });
      allSites.hidden = perSite.length <= siteLimit;
      allSites.textContent = 'Show all ' + group(perSite.length) + ' sites';
    }

    // The search, filters and order are kept in the address's fragment, so
    // that coming back from a dive's page finds the list as it was left.
    function saveState() {
      var state = [text.value, year.value, site.value, order.key + ':' + order.dir];
      var fragment = state.join('') === 'date:-1' ? '' : '#' + state.map(encodeURIComponent).join('&');
      history.replaceState(null, '', location.pathname + location.search + fragment);
    }

    // A year or site that the logbook does not have chooses all dives.
    function choose(select, value) {
      select.value = value;
      if (select.selectedIndex < 0) select.value = '';
    }

    function loadState() {
      var state;
      try {
        state = location.hash.slice(1).split('&').map(decodeURIComponent);
      } catch (malformed) {
        return;
      }
      if (state.length !== 4) return;
      text.value = state[0];
      choose(year, state[1]);
      choose(site, state[2]);
      var parts = state[3].split(':');
      if (parts[0] in read.columns) order = { key: parts[0], dir: +parts[1] < 0 ? -1 : 1 };
    }

    function update() {
      limit = PAGE;
      filter();
      list(limit, true);
      if (stats.open) renderStats();
      saveState();
    }

    function showMore() {
      limit += PAGE;
      list(limit, false);
    }

    Array.prototype.forEach.call(table.tHead.rows[0].cells, function (th) {
      var key = th.dataset.key;
      if (!key) return;
      var button = document.createElement('button');
      button.type = 'button';
      button.textContent = th.textContent;
      button.title = 'Sort by ' + th.textContent;
      th.textContent = '';
      th.appendChild(button);
      button.addEventListener('click', function () {
        var first = key in NUMERIC || key === 'date' ? -1 : 1;
        order = { key: key, dir: order.key === key ? -order.dir : first };
        applySort();
        update();
      });
    });
    form.addEventListener('submit', function (event) { event.preventDefault(); });
    text.addEventListener('input', update);
    year.addEventListener('change', update);
    site.addEventListener('change', update);
    sort.addEventListener('change', function () {
      var parts = sort.value.split(':');
      order = { key: parts[0], dir: +parts[1] };
      applySort();
      update();
    });
    more.addEventListener('click', showMore);
    // A click anywhere on a row opens its dive's page, as its number does.
    table.addEventListener('click', function (event) {
      if (event.target.closest('a, button') || String(window.getSelection())) return;
      var row = event.target.closest('tbody tr');
      var link = row && row.querySelector('a[href]');
      if (link) window.location.href = link.href;
    });
    // Scrolling near the end of the list adds the next rows, as the button does.
    if (window.IntersectionObserver) {
      var watch = new IntersectionObserver(function (entries) {
        if (more.hidden || !entries[entries.length - 1].isIntersecting) return;
        showMore();
        watch.unobserve(more); // and look again: the end may still be near
        watch.observe(more);
      }, { rootMargin: '0px 0px 300px 0px' });
      watch.observe(more);
    }
    stats.addEventListener('toggle', function () {
      if (stats.open) renderStats();
    });
    allSites.addEventListener('click', function () {
      siteLimit = Infinity;
      renderStats();
    });
    // The printed logbook: a page for each dive that matches, in the list's
    // order.
    byId('print-logbook').addEventListener('click', function (event) {
      event.preventDefault();
      if (!root.classList.contains('print-pages')) printPages(table, matches);
    });
    // Paper gets every dive that matches, not just the rows laid out so far.
    var printed = null;
    window.addEventListener('beforeprint', function () {
      if (root.classList.contains('print-pages')) return;
      if (matches.length <= PRINT_TABLE) {
        list(Infinity, false);
        return;
      }
      printed = document.createElement('pre');
      printed.className = 'print-list';
      printed.textContent = textListing(table, matches);
      table.parentNode.insertBefore(printed, table);
      root.classList.add('print-text');
    });
    window.addEventListener('afterprint', function () {
      if (root.classList.contains('print-pages')) return;
      if (printed) {
        printed.remove();
        printed = null;
        root.classList.remove('print-text');
      } else {
        list(limit, true);
      }
    });

    loadState();
    applySort();
    update();
    form.hidden = false;
    shown.hidden = false;
    document.querySelector('.print-all').hidden = false;
    stats.hidden = false;
  }

  // A dive as a page of a paper logbook, from its row: the facts, the
  // profile picture the export wrote beside its page, the notes, and room
  // for the buddy's signature and a stamp.
  function paperDive(table, d) {
    var row = d.row;
    var page = document.createElement('article');
    page.className = 'paper-dive';
    var title = document.createElement('h2');
    title.textContent = 'Dive #' + cellText(row, 0) + (d.site ? ' \u00b7 ' + d.site : '');
    var when = document.createElement('p');
    when.textContent = [d.loc, d.dateText + ' ' + d.time].filter(Boolean).join(' \u00b7 ');
    page.appendChild(title);
    page.appendChild(when);
    // The export writes the picture beside the dive's page, when the dive
    // has a profile; a page without one loses the picture's place.
    var picture = document.createElement('img');
    picture.className = 'profile-picture';
    picture.alt = 'Depth profile';
    picture.addEventListener('error', function () { picture.remove(); });
    picture.src = row.querySelector('a[href]').getAttribute('href').replace(/[.]html$/, '.svg');
    page.appendChild(picture);
    var facts = document.createElement('dl');
    facts.className = 'facts';
    function fact(label, value) {
      if (!value) return;
      var item = document.createElement('div');
      item.appendChild(document.createElement('dt')).textContent = label;
      item.appendChild(document.createElement('dd')).textContent = value;
      facts.appendChild(item);
    }
    var heads = table.tHead.rows[0].cells;
    [1, 2, 5, 6, 7, 8, 9, 10].forEach(function (i) {
      fact(heads[i].textContent, cellText(row, i));
    });
    Array.prototype.forEach.call(row.querySelectorAll('.more > i'), function (item, i) {
      fact(MORE[i], item.textContent.trim());
    });
    page.appendChild(facts);
    var note = row.querySelector('.more > div');
    if (note && note.textContent.trim()) {
      var notes = note.cloneNode(true);
      notes.className = 'paper-notes';
      page.appendChild(notes);
    }
    var signatures = document.createElement('div');
    signatures.className = 'signatures';
    signatures.appendChild(document.createElement('div')).textContent = "Buddy's signature";
    signatures.appendChild(document.createElement('div')).textContent = 'Stamp';
    page.appendChild(signatures);
    return page;
  }

  // The dives as logbook pages, two to a sheet, printed once their
  // pictures are loaded.
  function printPages(table, dives) {
    var sheets = document.createElement('div');
    sheets.className = 'paper-dives';
    dives.forEach(function (d) { sheets.appendChild(paperDive(table, d)); });
    document.body.appendChild(sheets);
    root.classList.add('print-pages');
    var pictures = Array.prototype.map.call(sheets.querySelectorAll('img'), function (img) {
      return new Promise(function (loaded) {
        if (img.complete) loaded();
        img.addEventListener('load', loaded);
        img.addEventListener('error', loaded);
      });
    });
    // The pages stay until the diver comes back to the list: a browser may
    // lay out a print more than once, with an afterprint after each.
    function done() {
      window.removeEventListener('pointerdown', done, true);
      window.removeEventListener('keydown', done, true);
      root.classList.remove('print-pages');
      sheets.remove();
    }
    Promise.all(pictures).then(function () {
      window.print();
      window.addEventListener('pointerdown', done, true);
      window.addEventListener('keydown', done, true);
    });
  }

  // The dives as lines of text in columns, for paper: texts longer than their
  // column are cut short, numbers stand to the right.
  function textListing(table, dives) {
    var widths = [6, 10, 5, 26, 22, 6, 6, 9, 8, 14, 6];
    var right = { 0: 1, 5: 1, 6: 1, 7: 1, 8: 1 };
    function fit(text, i) {
      var width = widths[i];
      if (text.length > width) text = text.slice(0, width - 1) + '\u2026';
      var pad = new Array(width - text.length + 1).join(' ');
      return right[i] ? pad + text : text + pad;
    }
    function line(cells) {
      return widths.map(function (w, i) { return fit(cells[i] ? cells[i].textContent.trim() : '', i); })
        .join(' ').replace(/\s+$/, '');
    }
    var lines = [line(table.tHead.rows[0].cells)];
    dives.forEach(function (d) { lines.push(line(d.row.cells)); });
    return lines.join('\n');
  }

  // The arrow keys lead to the dives before and after, as their links do.
  function pager() {
    document.addEventListener('keydown', function (event) {
      if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey || event.defaultPrevented) return;
      if (/^(INPUT|SELECT|TEXTAREA)$/.test(event.target.tagName) || event.target.isContentEditable) return;
      var rel = { ArrowLeft: 'prev', ArrowRight: 'next' }[event.key];
      var link = rel && document.querySelector('a[rel=' + rel + ']');
      if (!link) return;
      event.preventDefault();
      window.location.href = link.href;
    });
  }

  // The samples of the profile the export drew, read back from its path:
  // from the first depth, a step of one sample to the right and the change
  // of depth in metres for each. Depths in centimetres, kept whole.
  function samples(svg) {
    var path = svg.querySelector('.area');
    var m = path && /^M0 (\S+)l(.*)V/.exec(path.getAttribute('d'));
    if (!m) return [];
    var depths = [Math.round(parseFloat(m[1]) * 100)];
    var steps = m[2].match(/-?(?:\d+\.?\d*|\.\d+)/g) || [];
    for (var i = 1; i < steps.length; i += 2) {
      depths.push(depths[depths.length - 1] + Math.round(parseFloat(steps[i]) * 100));
    }
    return depths;
  }

  function clock(time) {
    var s = Math.round(time);
    return Math.floor(s / 60) + ':' + (s % 60 < 10 ? '0' : '') + s % 60;
  }

  // Pointing along the profile, or moving along it with the arrow keys,
  // tells the time and depth of the sample there and marks it.
  function profile(svg) {
    var depths = samples(svg);
    var box = svg.querySelector('.plot-box');
    if (depths.length < 2 || !box) return;
    var last = depths.length - 1;
    var bottom = svg.querySelector('.samples').viewBox.baseVal.height;
    var total = +svg.dataset.seconds || last;
    var ns = 'http://www.w3.org/2000/svg';
    var line = document.createElementNS(ns, 'line');
    var dot = document.createElementNS(ns, 'circle');
    line.setAttribute('class', 'reading');
    dot.setAttribute('class', 'reading');
    dot.setAttribute('r', '4');
    line.setAttribute('y1', '0');
    line.setAttribute('y2', '100%');
    var readout = document.createElement('p');
    readout.className = 'readout';
    readout.setAttribute('aria-live', 'polite');
    svg.parentNode.insertBefore(readout, svg.nextSibling);
    svg.setAttribute('tabindex', '0');
    svg.setAttribute('aria-describedby', 'profile-help');
    var help = document.createElement('span');
    help.id = 'profile-help';
    help.hidden = true;
    help.textContent = 'Arrow keys move along the profile.';
    readout.parentNode.insertBefore(help, readout);
    var at = -1;

    function show(i) {
      at = Math.max(0, Math.min(last, i));
      var x = at / last * 100 + '%';
      line.setAttribute('x1', x);
      line.setAttribute('x2', x);
      dot.setAttribute('cx', x);
      dot.setAttribute('cy', depths[at] / (bottom * 100) * 100 + '%');
      if (!line.parentNode) {
        box.appendChild(line);
        box.appendChild(dot);
      }
      readout.textContent = 'At ' + clock(at * total / last) + ' min: ' +
                            (depths[at] / 100).toFixed(depths[at] % 100 ? 2 : 0).replace(/(\.\d)0$/, '$1') + ' m';
    }

    svg.addEventListener('pointermove', function (event) {
      var rect = box.getBoundingClientRect();
      if (rect.width > 0) show(Math.round((event.clientX - rect.left) / rect.width * last));
    });
    svg.addEventListener('keydown', function (event) {
      if (event.altKey || event.ctrlKey || event.metaKey) return;
      var big = Math.max(1, Math.round(last / 20));
      var move = { ArrowLeft: -1, ArrowRight: 1, ArrowDown: -1, ArrowUp: 1,
                   PageDown: -big, PageUp: big }[event.key];
      var to = { Home: 0, End: last }[event.key];
      if (to === undefined && move !== undefined) to = at < 0 ? 0 : at + move;
      if (to === undefined) return;
      event.preventDefault();
      show(to);
    });
  }

  document.addEventListener('DOMContentLoaded', function () {
    var table = byId('dives');
    try {
      if (table && table.tHead && table.tBodies.length) index(table);
      var chart = document.querySelector('svg.depth-profile');
      if (chart) profile(chart);
      if (document.querySelector('a[rel=prev], a[rel=next]')) pager();
    } finally {
      root.classList.remove('loading');
      if (window.performance && performance.mark) performance.mark('logbook-ready');
    }
  });
})();
