/* The guests' results page. Kept to plain ES5-style code with a few ES2015 library calls,
   so that old phone browsers and WeChat's built-in one run it. Every text that comes from
   the server goes into the page as text nodes only: participants' names are untrusted. */
(function () {
  'use strict';

  var POLL_MIN_MS = 10000;
  var POLL_JITTER_MS = 5000;       // spreads a hall of phones over time
  var POLL_TIMEOUT_MS = 8000;
  var STREAM_ERRORS_BEFORE_POLLING = 3;
  var STREAM_FIRST_SNAPSHOT_MS = 12000; // a proxy that buffers the stream never errors
  var WINNERS_SHOWN_AT_FIRST = 300;     // a prize of thousands would stall a phone
  var FRESH_MS = 4000;
  var CHECKIN_TIMEOUT_MS = 15000;       // a hung request must not leave the button dead
  var CHECKIN_MAX_BYTES = 512;          // the server refuses longer bodies
  var DEVICE_KEY = 'rafo-device';
  var CHECKED_IN_KEY = 'rafo-checked-in';
  var SEEN_KEY = 'rafo-commitment-';    // + hex: the commitments this phone saw before their reveal
  var MIN_WITNESS_DIGITS = 12;          // the program never asks for fewer
  var MAX_WITNESS_DIGITS = 64;

  var STATUS_TEXT = {
    connecting: '正在连接…',
    live: '实时更新',
    poll: '每 10 秒刷新',
    offline: '连接中断, 正在重试…'
  };

  var state = {
    version: -1, title: '', subtitle: '', finished: false, masked: false, prizes: [],
    checkin: 'off', checkinOpen: false, witness: null
  };
  var latestIndex = null;   // the prize drawn or changed last
  var lastQuery = null;     // the name searched for; searched again on every change
  var expanded = {};        // prize index -> all winners shown
  var shownCommitment = null; // the commitment in the witness block, to notice a new one
  var checked = {};         // a reveal's fields -> its recomputation; the same reveal comes often

  var el = {};
  var mode = 'none';        // 'stream' or 'poll'
  var stream = null;
  var streamErrors = 0;
  var streamWatchdog = null;
  var streamHadSnapshot = false;
  var pollTimer = null;
  var pollBusy = false;

  var memoryStore = {};     // stands in for localStorage where that throws
  var checkedName = null;   // as the server returned it: masked when names are
  var checkinHeadline = ''; // the server's words for the success of this visit
  var checkinWon = [];      // {award, prize} the server listed at check-in
  var checkinBusy = false;
  var forOther = false;     // a shared phone: the form again after a success
  var checkinShown = '';

  // ---- text helpers -------------------------------------------------------------------

  function codePoints(s) {
    if (typeof Array.from === 'function') return Array.from(s);
    return s.match(/[\uD800-\uDBFF][\uDC00-\uDFFF]|[\s\S]/g) || [];
  }

  // The same masking the server applies to names: 张 → 张, 张三 → 张*, 张小三 → 张*三.
  function maskName(s) {
    var cs = codePoints(s.trim());
    if (cs.length <= 1) return cs.join('');
    if (cs.length === 2) return cs[0] + '*';
    return cs[0] + '*' + cs[cs.length - 1];
  }

  function words(s) {
    var t = s.trim();
    return t ? t.split(/\s+/) : [];
  }

  // Unmasked winners may be whole participant lines ("A0001 张三 研发部"): a run of whole
  // words matches too, never a part of a word, so 张 does not find 张三.
  function winnerMatches(winner, key, masked) {
    var w = winner.trim();
    if (w === key) return true;
    if (masked) return false;
    var ww = words(w);
    var kw = words(key);
    if (!kw.length || kw.length > ww.length) return false;
    for (var i = 0; i + kw.length <= ww.length; i++) {
      var all = true;
      for (var j = 0; j < kw.length; j++) {
        if (ww[i + j] !== kw[j]) { all = false; break; }
      }
      if (all) return true;
    }
    return false;
  }

  // ---- data from the server -------------------------------------------------------------

  function str(v) {
    return v === null || v === undefined ? '' : String(v);
  }

  function strList(v) {
    var out = [];
    if (Object.prototype.toString.call(v) !== '[object Array]') return out;
    for (var i = 0; i < v.length; i++) out.push(str(v[i]));
    return out;
  }

  function toVersion(v) {
    return typeof v === 'number' && isFinite(v) && v >= 0 ? v : null;
  }

  function toCount(v) {
    var n = Number(v);
    return isFinite(n) && n >= 0 ? Math.floor(n) : 0;
  }

  function isIndex(n) {
    return typeof n === 'number' && isFinite(n) && n >= 0 && Math.floor(n) === n;
  }

  function lowerHex(v) {
    return str(v).toLowerCase();
  }

  // The commitment while the names cycle; without a well-formed one there is nothing to show.
  function asCycling(w) {
    if (!w || typeof w !== 'object') return null;
    var prize = Number(w.prize);
    var commitment = lowerHex(w.commitment);
    if (!isIndex(prize) || !/^[0-9a-f]{64}$/.test(commitment)) return null;
    return {
      prize: prize,
      commitment: commitment,
      attempt: Math.max(1, toCount(w.attempt)),
      digits: str(w.digits).replace(/[^0-9]/g, ''),
      needed: toCount(w.needed)
    };
  }

  // A witnessed prize's reveal, kept as sent: the phone checks it, so nothing is tidied here.
  function asReveal(w) {
    if (!w || typeof w !== 'object') return null;
    return {
      prize: Number(w.prize),
      commitment: lowerHex(w.commitment),
      secret: lowerHex(w.secret),
      digits: str(w.digits),
      admitted: lowerHex(w.admittedSha256),
      seed: lowerHex(w.seed)
    };
  }

  function asPrize(p) {
    if (!p || typeof p !== 'object') return null;
    var index = Number(p.index);
    if (!isIndex(index)) return null;
    var drawn = p.drawn === true;
    return {
      index: index,
      award: str(p.award),
      prize: str(p.prize),
      count: toCount(p.count),
      drawn: drawn,
      winners: drawn ? strList(p.winners) : [],
      replaced: drawn ? strList(p.replaced) : [],
      fingerprint: str(p.fingerprint),
      witness: drawn ? asReveal(p.witness) : null
    };
  }

  function checkinMode(v) {
    return v === 'code' || v === 'name' ? v : 'off';
  }

  function asSnapshot(d) {
    if (!d || typeof d !== 'object') return null;
    var version = toVersion(d.version);
    if (version === null) return null;
    var prizes = [];
    var list = Object.prototype.toString.call(d.prizes) === '[object Array]' ? d.prizes : [];
    for (var i = 0; i < list.length; i++) {
      var p = asPrize(list[i]);
      if (p) prizes.push(p);
    }
    return {
      version: version,
      title: str(d.title),
      subtitle: str(d.subtitle),
      finished: d.finished === true,
      masked: d.masked === true,
      prizes: prizes,
      checkin: checkinMode(d.checkin),
      checkinOpen: d.checkinOpen === true,
      witness: asCycling(d.witness)
    };
  }

  function parse(text) {
    try { return JSON.parse(text); } catch (e) { return null; }
  }

  // ---- applying changes -----------------------------------------------------------------

  // A whole state is what the server holds now. One with an older version than ours can
  // only come from a restarted rafo whose count began again, so it is taken as well; the
  // same version again is a repeat.
  function applyWhole(snap) {
    if (!snap) return;
    if (snap.version === state.version) {
      // Opening or closing check-in changes nothing else; take it even without a new version.
      if (snap.checkin !== state.checkin || snap.checkinOpen !== state.checkinOpen) {
        state.checkin = snap.checkin;
        state.checkinOpen = snap.checkinOpen;
        renderCheckin();
      }
      return;
    }
    state = snap;
    latestIndex = null;
    for (var i = 0; i < state.prizes.length; i++) {
      if (state.prizes[i].drawn) latestIndex = state.prizes[i].index;
    }
    rememberCommitment(state.witness);
    renderHeader();
    renderWitness();
    renderAllPrizes();
    refreshSearch();
    renderCheckin();
  }

  function positionOf(index) {
    for (var i = 0; i < state.prizes.length; i++) {
      if (state.prizes[i].index === index) return i;
    }
    return -1;
  }

  // Returns false when the prize is not in our table: we missed a change.
  function applyPrize(data) {
    if (!data || typeof data !== 'object') return true;
    var version = toVersion(data.version);
    if (version === null || version <= state.version) return true;
    var p = asPrize(data.prize);
    if (!p) return true;
    var pos = positionOf(p.index);
    if (pos < 0) return false;
    state.version = version;
    state.prizes[pos] = p;
    var previous = latestIndex;
    latestIndex = p.index;
    if (previous !== null && previous !== p.index) {
      var old = prizeElement(previous);
      if (old) old.classList.remove('latest');
    }
    var box = renderPrize(p, pos);
    var current = prizeElement(p.index);
    if (current) el.prizes.replaceChild(box, current); else el.prizes.appendChild(box);
    markFresh(box);
    refreshSearch();
    renderCheckin();
    return true;
  }

  function applyFinished(data) {
    if (!data || typeof data !== 'object') return;
    var version = toVersion(data.version);
    if (version === null || version <= state.version) return;
    state.version = version;
    state.finished = data.finished !== false;
    renderHeader();
    refreshSearch();
  }

  function applyWitness(data) {
    if (!data || typeof data !== 'object') return;
    var version = toVersion(data.version);
    if (version === null || version <= state.version) return;
    state.version = version;
    state.witness = asCycling(data.witness);
    rememberCommitment(state.witness);
    renderWitness();
  }

  function applyReset(data) {
    var snap = asSnapshot(data);
    if (snap) applyWhole(snap);
  }

  // ---- rendering ------------------------------------------------------------------------

  function node(tag, cls, text) {
    var n = document.createElement(tag);
    if (cls) n.className = cls;
    if (text !== undefined) n.appendChild(document.createTextNode(text));
    return n;
  }

  // A name in its own isolated span, so right-to-left marks inside a name cannot reorder
  // the text around it.
  function nameNode(text, cls) {
    return node('span', cls ? 'name ' + cls : 'name', text);
  }

  function prizeElement(index) {
    return document.getElementById('prize-' + index);
  }

  function renderHeader() {
    var title = state.title.trim() ? state.title : '抽奖结果';
    el.title.textContent = title;
    document.title = title;
    el.subtitle.textContent = state.subtitle;
    el.subtitle.hidden = !state.subtitle.trim();
    el.finished.hidden = !state.finished;
    document.body.classList.toggle('is-finished', state.finished);
  }

  function setStatus(which) {
    el.status.textContent = STATUS_TEXT[which];
    el.status.className = 'status-' + which;
  }

  function renderWinners(box, p) {
    var list = node('ul', 'winners');
    var shown = expanded[p.index] ? p.winners.length : Math.min(p.winners.length, WINNERS_SHOWN_AT_FIRST);
    for (var i = 0; i < shown; i++) {
      var li = node('li', 'winner');
      li.appendChild(nameNode(p.winners[i]));
      list.appendChild(li);
    }
    box.appendChild(list);
    if (shown < p.winners.length) {
      var more = node('button', 'more', '显示全部 ' + p.winners.length + ' 名');
      more.type = 'button';
      more.addEventListener('click', function () {
        expanded[p.index] = true;
        var pos = positionOf(p.index);
        var current = prizeElement(p.index);
        if (pos >= 0 && current) el.prizes.replaceChild(renderPrize(state.prizes[pos], pos), current);
        refreshSearch();
      });
      box.appendChild(more);
    }
  }

  function renderPrize(p, pos) {
    var box = node('article', 'prize ' + (p.drawn ? 'drawn' : 'pending'));
    if (p.index === latestIndex) box.classList.add('latest');
    box.id = 'prize-' + p.index;
    box.setAttribute('data-index', String(p.index));

    var head = node('div', 'prize-head');
    head.appendChild(node('span', 'award', p.award.trim() ? p.award : '第 ' + (pos + 1) + ' 项'));
    head.appendChild(node('span', 'count', p.count + ' 名'));
    box.appendChild(head);
    if (p.prize.trim()) box.appendChild(node('p', 'prize-name', p.prize));

    if (!p.drawn) {
      box.appendChild(node('p', 'pending-note', '尚未抽奖'));
      return box;
    }
    if (p.winners.length) renderWinners(box, p);
    else box.appendChild(node('p', 'pending-note', '没有中奖人'));

    if (p.replaced.length) {
      var gone = node('p', 'replaced', '缺席补抽: ');
      for (var i = 0; i < p.replaced.length; i++) {
        if (i) gone.appendChild(document.createTextNode('、'));
        gone.appendChild(nameNode(p.replaced[i]));
      }
      box.appendChild(gone);
    }
    if (p.witness) box.appendChild(renderReveal(p.witness));
    if (p.fingerprint.trim()) {
      var fp = node('p', 'fingerprint', '记录 ');
      fp.appendChild(node('span', 'fp', p.fingerprint));
      box.appendChild(fp);
    }
    return box;
  }

  function renderAllPrizes() {
    var box = el.prizes;
    while (box.firstChild) box.removeChild(box.firstChild);
    if (!state.prizes.length) {
      box.appendChild(node('p', 'empty', '还没有奖项'));
      return;
    }
    var frag = document.createDocumentFragment();
    for (var i = 0; i < state.prizes.length; i++) frag.appendChild(renderPrize(state.prizes[i], i));
    box.appendChild(frag);
  }

  // A prize that arrives live flashes and comes into view, unless the guest is typing.
  function markFresh(box) {
    box.classList.add('fresh');
    setTimeout(function () { box.classList.remove('fresh'); }, FRESH_MS);
    var active = document.activeElement;
    if (active && active.tagName === 'INPUT') return;
    if (typeof box.scrollIntoView !== 'function') return;
    try {
      box.scrollIntoView({ block: 'center', behavior: 'smooth' });
    } catch (e) {
      box.scrollIntoView(true);
    }
  }

  // ---- the witnessed draw ---------------------------------------------------------------

  // Recomputes the commitment from the secret and the seed from the hall's digits, as the
  // program did; remembered, since every whole state brings the same reveals again.
  function checkReveal(r) {
    var key = [r.prize, r.commitment, r.secret, r.digits, r.admitted, r.seed].join('\n');
    if (Object.prototype.hasOwnProperty.call(checked, key)) return checked[key];
    var result = {
      matches: false,
      seed: '',
      digitsValid: new RegExp('^[0-9]{' + MIN_WITNESS_DIGITS + ',' + MAX_WITNESS_DIGITS + '}$').test(r.digits)
    };
    var rule = window.RafoWitness;
    if (rule && isIndex(r.prize) && r.prize <= 0xffffffff) {
      var again = rule.commitment(r.secret, r.admitted, r.prize);
      result.seed = rule.seed(r.commitment, r.secret, r.digits) || '';
      result.matches = again !== null && again === r.commitment && result.seed === r.seed;
    }
    checked[key] = result;
    return result;
  }

  function revealed(commitment) {
    for (var i = 0; i < state.prizes.length; i++) {
      var r = state.prizes[i].witness;
      if (r && r.commitment === commitment) return true;
    }
    return false;
  }

  // Kept across reloads: a guest who reopens the page before the stop still saw it in time.
  // One that comes with its secret already out proves nothing, so it is not kept.
  function rememberCommitment(w) {
    if (!w || revealed(w.commitment)) return;
    if (storeGet(SEEN_KEY + w.commitment) === String(w.prize)) return;
    storeSet(SEEN_KEY + w.commitment, String(w.prize));
  }

  function seenBefore(r) {
    return isIndex(r.prize) && storeGet(SEEN_KEY + r.commitment) === String(r.prize);
  }

  // XXXX-XXXX-…, upper case. The <wbr> lets a narrow phone wrap after each dash: a dash
  // followed by a digit is otherwise no place to break.
  function fillHex(box, hex) {
    while (box.firstChild) box.removeChild(box.firstChild);
    var up = hex.toUpperCase();
    for (var i = 0; i < up.length; i += 4) {
      if (i) box.appendChild(document.createElement('wbr'));
      box.appendChild(document.createTextNode(up.slice(i, i + 4) + (i + 4 < up.length ? '-' : '')));
    }
    return box;
  }

  function spaced(digits) {
    return digits.split('').join(' ');
  }

  function renderWitness() {
    var w = state.witness;
    el.witness.hidden = !w;
    if (!w) {
      shownCommitment = null;
      return;
    }
    var pos = positionOf(w.prize);
    el.witnessPrize.textContent = pos >= 0 ? '正在抽取 ' + prizeLabel(state.prizes[pos]) : '';
    el.witnessPrize.hidden = pos < 0;
    el.witnessAttempt.textContent = '第 ' + w.attempt + ' 次承诺';
    el.witnessAttempt.hidden = w.attempt <= 1;
    fillHex(el.witnessCommitment, w.commitment);
    el.witnessDigits.textContent = w.digits ? spaced(w.digits) : '—';
    var missing = w.needed - w.digits.length;
    el.witnessNeeded.textContent = missing > 0 ? '还需 ' + missing + ' 位' : '';
    el.witnessNeeded.hidden = missing <= 0;
    if (w.commitment !== shownCommitment) {
      shownCommitment = w.commitment;
      markFresh(el.witness);
    }
  }

  function revealLine(label, value) {
    var line = node('p', 'reveal-line');
    line.appendChild(node('span', 'reveal-label', label));
    line.appendChild(value);
    return line;
  }

  function renderReveal(r) {
    var box = node('div', 'reveal');
    box.appendChild(revealLine('承诺', fillHex(node('span', 'hex'), r.commitment)));
    box.appendChild(revealLine('密钥', fillHex(node('span', 'hex'), r.secret)));
    box.appendChild(revealLine('见证数字', node('span', 'reveal-digits', r.digits ? spaced(r.digits) : '—')));
    var result = checkReveal(r);
    var verdict;
    if (!result.matches) verdict = ['bad', '✗ 承诺不符'];
    else if (!result.digitsValid) verdict = ['bad', '✗ 见证数字应为 ' + MIN_WITNESS_DIGITS + ' 到 ' + MAX_WITNESS_DIGITS + ' 位数字'];
    else if (seenBefore(r)) verdict = ['ok', '✓ 承诺相符'];
    else verdict = ['unseen', '✓ 计算相符 (本机未在揭晓前看到承诺)'];
    box.appendChild(node('p', 'witness-check ' + verdict[0], verdict[1]));
    if (result.seed) {
      var seed = node('p', 'reveal-seed', '种子 ');
      seed.appendChild(fillHex(node('span', 'hex'), result.seed.slice(0, 16)));
      box.appendChild(seed);
    }
    return box;
  }

  // ---- finding one's name ---------------------------------------------------------------

  // The guest's own name stands out in the lists too.
  function markFound(key, masked) {
    var shown = el.prizes.querySelectorAll('.winner');
    for (var i = 0; i < shown.length; i++) {
      var hit = key !== null && winnerMatches(shown[i].textContent, key, masked);
      if (hit) shown[i].classList.add('found'); else shown[i].classList.remove('found');
    }
  }

  function clearSearch() {
    while (el.findResult.firstChild) el.findResult.removeChild(el.findResult.firstChild);
    markFound(null, false);
  }

  function prizeLabel(p) {
    var label = p.award.trim() ? p.award : '第 ' + (positionOf(p.index) + 1) + ' 项';
    return p.prize.trim() ? label + ' (' + p.prize + ')' : label;
  }

  function showSearch(typed) {
    var masked = state.masked;
    var key = masked ? maskName(typed) : typed;
    var hits = [];
    var gone = [];
    for (var i = 0; i < state.prizes.length; i++) {
      var p = state.prizes[i];
      if (!p.drawn) continue;
      var j;
      for (j = 0; j < p.winners.length; j++) {
        if (winnerMatches(p.winners[j], key, masked)) { hits.push(p); break; }
      }
      for (j = 0; j < p.replaced.length; j++) {
        if (winnerMatches(p.replaced[j], key, masked)) { gone.push(p); break; }
      }
    }

    clearSearch();
    var line;
    for (i = 0; i < hits.length; i++) {
      line = node('p', 'find-line hit', '恭喜! ' + prizeLabel(hits[i]) + ' 中有 ');
      line.appendChild(nameNode(key));
      el.findResult.appendChild(line);
    }
    if (!hits.length) {
      line = node('p', 'find-line miss', state.finished ? '没有找到 ' : '还没有找到 ');
      line.appendChild(nameNode(key));
      el.findResult.appendChild(line);
    }
    for (i = 0; i < gone.length; i++) {
      line = node('p', 'find-line gone', prizeLabel(gone[i]) + ': ');
      line.appendChild(nameNode(key));
      line.appendChild(document.createTextNode(' 因缺席已补抽'));
      el.findResult.appendChild(line);
    }
    if (!hits.length) {
      el.findResult.appendChild(node('p', 'find-note',
        state.finished ? '抽奖已结束' : '抽奖还在进行, 名单会自动更新'));
    }
    if (masked && (hits.length || gone.length)) {
      el.findResult.appendChild(node('p', 'find-note', '同一遮挡名可能是其他人'));
    }
    markFound(key, masked);
  }

  function refreshSearch() {
    if (lastQuery !== null) showSearch(lastQuery);
  }

  function onFind(e) {
    if (e) e.preventDefault();
    var typed = el.findInput.value.trim();
    if (!typed) {
      lastQuery = null;
      clearSearch();
      return;
    }
    lastQuery = typed;
    showSearch(typed);
  }

  function onFindInput() {
    if (!el.findInput.value.trim()) {
      lastQuery = null;
      clearSearch();
    }
  }

  // ---- check-in -------------------------------------------------------------------------

  function storeGet(key) {
    try {
      var v = window.localStorage.getItem(key);
      if (v !== null) return v;
    } catch (e) { /* private mode or a WebView without storage */ }
    return Object.prototype.hasOwnProperty.call(memoryStore, key) ? memoryStore[key] : null;
  }

  function storeSet(key, value) {
    memoryStore[key] = value;
    try { window.localStorage.setItem(key, value); } catch (e) { /* memory it is */ }
  }

  // Made once per phone, so the operator sees when another phone checks in the same person.
  function deviceToken() {
    var t = storeGet(DEVICE_KEY);
    if (t && /^[0-9a-f]{32}$/.test(t)) return t;
    var bytes = [];
    var i;
    var c = window.crypto || window.msCrypto;
    if (c && typeof c.getRandomValues === 'function') {
      var a = new Uint8Array(16);
      c.getRandomValues(a);
      for (i = 0; i < a.length; i++) bytes.push(a[i]);
    } else {
      for (i = 0; i < 16; i++) bytes.push(Math.floor(Math.random() * 256));
    }
    t = '';
    for (i = 0; i < bytes.length; i++) t += (bytes[i] < 16 ? '0' : '') + bytes[i].toString(16);
    storeSet(DEVICE_KEY, t);
    return t;
  }

  function wonList(v) {
    var out = [];
    if (Object.prototype.toString.call(v) !== '[object Array]') return out;
    for (var i = 0; i < v.length; i++) {
      if (v[i] && typeof v[i] === 'object') out.push({ award: str(v[i].award), prize: str(v[i].prize) });
    }
    return out;
  }

  function hasExactly(list, name) {
    for (var i = 0; i < list.length; i++) {
      if (list[i].trim() === name) return true;
    }
    return false;
  }

  // What the checked-in guest has won: the lists as they stand now, and what the server
  // said at check-in unless the guest has since been drawn again for being absent.
  // Each entry: {label, sure}; sure when the server named it, not just a same-looking name.
  function checkinWins() {
    var out = [];
    var seen = {};
    var i;
    var p;
    var label;
    var told = {};
    for (i = 0; i < checkinWon.length; i++) told[checkinWon[i].award + '\n' + checkinWon[i].prize] = true;
    for (i = 0; i < state.prizes.length; i++) {
      p = state.prizes[i];
      if (!p.drawn) continue;
      label = prizeLabel(p);
      if (hasExactly(p.winners, checkedName)) {
        out.push({ label: label, sure: told[p.award + '\n' + p.prize] === true });
        seen[label] = true;
      } else if (hasExactly(p.replaced, checkedName)) {
        seen[label] = true;
      }
    }
    for (i = 0; i < checkinWon.length; i++) {
      var w = checkinWon[i];
      label = w.award.trim() && w.prize.trim() ? w.award + ' (' + w.prize + ')' : (w.award.trim() ? w.award : w.prize);
      for (var j = 0; j < state.prizes.length; j++) {
        p = state.prizes[j];
        if (p.award === w.award && p.prize === w.prize) { label = prizeLabel(p); break; }
      }
      if (!label.trim() || seen[label]) continue;
      out.push({ label: label, sure: true });
      seen[label] = true;
    }
    return out;
  }

  function clearCheckinResult() {
    var box = el.checkinResult;
    while (box.firstChild) box.removeChild(box.firstChild);
  }

  function checkinMessage(text, cls, note) {
    clearCheckinResult();
    el.checkinResult.appendChild(node('p', 'checkin-line ' + cls, text));
    if (note) el.checkinResult.appendChild(node('p', 'find-note', note));
  }

  function renderCheckinDone() {
    clearCheckinResult();
    var box = el.checkinResult;
    var head = node('p', 'checkin-line ok', (checkinHeadline.trim() ? checkinHeadline : '签到成功') + ' ');
    head.appendChild(nameNode(checkedName));
    box.appendChild(head);
    var wins = checkinWins();
    var unsure = false;
    for (var i = 0; i < wins.length; i++) {
      box.appendChild(node('p', 'checkin-line won', '恭喜! 你已抽中: ' + wins[i].label));
      if (!wins[i].sure) unsure = true;
    }
    if (!wins.length) box.appendChild(node('p', 'checkin-line luck', '祝你好运!'));
    if (unsure && state.masked) box.appendChild(node('p', 'find-note', '同一遮挡名可能是其他人'));
    if (state.checkinOpen) {
      var again = node('button', 'more', '为他人签到');
      again.type = 'button';
      again.id = 'checkin-again';
      again.addEventListener('click', onCheckinAgain);
      box.appendChild(again);
    }
  }

  function checkinView() {
    if (state.checkin === 'off') return 'off';
    if (checkedName !== null && (!forOther || !state.checkinOpen)) return 'done';
    return state.checkinOpen ? 'form' : 'closed';
  }

  function renderCheckin() {
    var view = checkinView();
    el.checkin.hidden = view === 'off';
    el.checkin.setAttribute('data-state', view);
    el.checkinForm.hidden = view !== 'form';
    el.checkinClosed.hidden = view !== 'closed';
    el.checkinCodeRow.hidden = state.checkin !== 'code';
    if (view === 'done') renderCheckinDone();
    else if (view !== checkinShown) clearCheckinResult(); // a message belongs to its view
    checkinShown = view;
  }

  function setCheckinBusy(busy) {
    checkinBusy = busy;
    el.checkinButton.disabled = busy;
    el.checkinForm.setAttribute('aria-busy', busy ? 'true' : 'false');
  }

  // Seconds or an HTTP date, as whole minutes to wait, at least one.
  function minutesToWait(header) {
    var h = str(header).trim();
    var seconds = /^\d+$/.test(h) ? Number(h) : (Date.parse(h) - Date.now()) / 1000;
    if (!h || !isFinite(seconds)) return 0;
    return Math.max(1, Math.ceil(seconds / 60));
  }

  // done(status, retryAfter, text); status 0 when nothing came back.
  function postForm(url, body, done) {
    var finished = false;
    var timer = null;
    function finish(status, retryAfter, text) {
      if (finished) return;
      finished = true;
      clearTimeout(timer);
      done(status, retryAfter, text);
    }
    function failed() { finish(0, null, ''); }
    var type = 'application/x-www-form-urlencoded';

    if (typeof window.fetch === 'function') {
      var controller = typeof window.AbortController === 'function' ? new window.AbortController() : null;
      var init = {
        method: 'POST',
        credentials: 'same-origin',
        cache: 'no-store',
        headers: { 'Content-Type': type },
        body: body
      };
      if (controller) init.signal = controller.signal;
      timer = setTimeout(function () {
        if (controller) controller.abort();
        failed();
      }, CHECKIN_TIMEOUT_MS);
      try {
        window.fetch(url, init).then(function (res) {
          return res.text().then(function (text) {
            finish(res.status, res.headers.get('Retry-After'), text);
          });
        }).then(null, failed);
      } catch (e) {
        failed();
      }
      return;
    }

    var xhr = new XMLHttpRequest();
    xhr.open('POST', url, true);
    xhr.setRequestHeader('Content-Type', type);
    xhr.timeout = CHECKIN_TIMEOUT_MS;
    xhr.onload = function () {
      finish(xhr.status, xhr.getResponseHeader('Retry-After'), xhr.responseText);
    };
    xhr.onerror = failed;
    xhr.ontimeout = failed;
    xhr.onabort = failed;
    try {
      xhr.send(body);
    } catch (e) {
      failed();
    }
  }

  function checkinFallbackText(status) {
    if (status === 403) return '请求被拒绝, 请刷新页面后重试';
    if (status === 413) return '输入太长';
    if (status === 429) return '尝试次数过多, 请稍后再试';
    return '签到失败, 请重试';
  }

  function onCheckinAnswer(typedName, status, retryAfter, text) {
    setCheckinBusy(false);
    if (status === 0) {
      checkinMessage('无法连接, 请重试', 'error');
      return;
    }
    var data = parse(text);
    if (!data || typeof data !== 'object') data = {};
    var message = str(data.message).trim();
    if (status === 200 && data.ok === true) {
      var name = str(data.name).trim();
      checkedName = name ? name : typedName;
      storeSet(CHECKED_IN_KEY, checkedName);
      checkinHeadline = message;
      checkinWon = wonList(data.won);
      forOther = false;
      el.checkinName.value = '';
      el.checkinCode.value = '';
      renderCheckin();
      return;
    }
    var minutes = status === 429 ? minutesToWait(retryAfter) : 0;
    checkinMessage(message ? message : checkinFallbackText(status), 'error',
      minutes ? '请 ' + minutes + ' 分钟后再试' : '');
  }

  function onCheckin(e) {
    if (e) e.preventDefault();
    if (checkinBusy || checkinView() !== 'form') return;
    var withCode = state.checkin === 'code';
    var name = el.checkinName.value.trim();
    var code = withCode ? el.checkinCode.value.trim() : '';
    if (!name) {
      checkinMessage('请输入姓名', 'error');
      el.checkinName.focus();
      return;
    }
    if (withCode && !code) {
      checkinMessage('请输入签到码', 'error');
      el.checkinCode.focus();
      return;
    }
    var body;
    try {
      body = 'name=' + encodeURIComponent(name) +
        (withCode ? '&code=' + encodeURIComponent(code) : '') +
        '&token=' + encodeURIComponent(deviceToken());
    } catch (err) {
      checkinMessage('姓名中有无法识别的字符', 'error'); // a lone surrogate
      return;
    }
    if (body.length > CHECKIN_MAX_BYTES) {
      checkinMessage('姓名太长', 'error');
      return;
    }
    setCheckinBusy(true);
    checkinMessage('正在签到…', 'wait');
    postForm('/api/checkin', body, function (status, retryAfter, text) {
      onCheckinAnswer(name, status, retryAfter, text);
    });
  }

  function onCheckinAgain() {
    forOther = true;
    renderCheckin();
    clearCheckinResult();
    el.checkinName.focus();
  }

  // ---- the event stream -----------------------------------------------------------------

  function listen(name, handler) {
    stream.addEventListener(name, function (ev) {
      if (mode !== 'stream') return;
      var data = parse(ev.data);
      if (data === null) return;
      handler(data);
    });
  }

  function openStream() {
    mode = 'stream';
    streamHadSnapshot = false;
    setStatus('connecting');
    try {
      stream = new window.EventSource('/api/events');
    } catch (e) {
      stream = null;
      startPolling();
      return;
    }
    clearTimeout(streamWatchdog);
    streamWatchdog = setTimeout(function () {
      if (mode === 'stream' && !streamHadSnapshot) giveUpStream();
    }, STREAM_FIRST_SNAPSHOT_MS);

    // "Live" only once something is shown: a reconnection that finds us up to date sends
    // just what we missed, a first connection sends the whole state.
    stream.onopen = function () {
      if (mode !== 'stream') return;
      streamErrors = 0;
      if (state.version >= 0) setStatus('live');
    };
    stream.onerror = function () {
      if (mode !== 'stream') return;
      streamErrors++;
      // CLOSED means the browser will not try again by itself (no stream there at all).
      if (stream.readyState === 2 || streamErrors >= STREAM_ERRORS_BEFORE_POLLING) giveUpStream();
      else setStatus('connecting');
    };
    listen('snapshot', function (data) {
      streamHadSnapshot = true;
      clearTimeout(streamWatchdog);
      setStatus('live');
      applyWhole(asSnapshot(data));
    });
    listen('reset', applyReset);
    listen('prize', function (data) { if (!applyPrize(data)) restartStream(); });
    listen('replace', function (data) { if (!applyPrize(data)) restartStream(); });
    listen('witness', applyWitness);
    listen('finished', applyFinished);
  }

  function closeStream() {
    clearTimeout(streamWatchdog);
    if (stream) {
      stream.onopen = null;
      stream.onerror = null;
      stream.close();
      stream = null;
    }
  }

  // A fresh connection (no Last-Event-ID) starts with the whole state again.
  function restartStream() {
    closeStream();
    openStream();
  }

  function giveUpStream() {
    closeStream();
    startPolling();
  }

  // ---- polling --------------------------------------------------------------------------

  function startPolling() {
    mode = 'poll';
    setStatus('connecting');
    poll();
  }

  function scheduleNextPoll() {
    clearTimeout(pollTimer);
    pollTimer = setTimeout(poll, POLL_MIN_MS + Math.floor(Math.random() * POLL_JITTER_MS));
  }

  function poll() {
    if (pollBusy) return;
    clearTimeout(pollTimer);
    pollBusy = true;
    var xhr = new XMLHttpRequest();
    var done = false;
    function finish(status) {
      if (done) return;
      done = true;
      pollBusy = false;
      setStatus(status);
      scheduleNextPoll();
    }
    xhr.open('GET', '/api/results', true);
    if (state.version >= 0) xhr.setRequestHeader('If-None-Match', '"' + state.version + '"');
    xhr.timeout = POLL_TIMEOUT_MS;
    xhr.onload = function () {
      if (xhr.status === 200) {
        var snap = asSnapshot(parse(xhr.responseText));
        if (snap) {
          applyWhole(snap);
          finish('poll');
        } else {
          finish('offline');
        }
      } else if (xhr.status === 304) {
        finish('poll');
      } else {
        finish('offline');
      }
    };
    xhr.onerror = function () { finish('offline'); };
    xhr.ontimeout = function () { finish('offline'); };
    xhr.onabort = function () { finish('offline'); };
    try {
      xhr.send();
    } catch (e) {
      finish('offline');
    }
  }

  // A phone that slept missed the timer: look at once when it wakes.
  function onVisibility() {
    if (document.visibilityState === 'visible' && mode === 'poll' && !pollBusy) poll();
  }

  // ---- start ----------------------------------------------------------------------------

  function start() {
    el.title = document.getElementById('title');
    el.subtitle = document.getElementById('subtitle');
    el.status = document.getElementById('status');
    el.finished = document.getElementById('finished');
    el.prizes = document.getElementById('prizes');
    el.findForm = document.getElementById('find-form');
    el.findInput = document.getElementById('find-input');
    el.findResult = document.getElementById('find-result');
    el.checkin = document.getElementById('checkin');
    el.checkinForm = document.getElementById('checkin-form');
    el.checkinName = document.getElementById('checkin-name');
    el.checkinCodeRow = document.getElementById('checkin-code-row');
    el.checkinCode = document.getElementById('checkin-code');
    el.checkinButton = document.getElementById('checkin-button');
    el.checkinClosed = document.getElementById('checkin-closed');
    el.checkinResult = document.getElementById('checkin-result');
    el.witness = document.getElementById('witness');
    el.witnessPrize = document.getElementById('witness-prize');
    el.witnessAttempt = document.getElementById('witness-attempt');
    el.witnessCommitment = document.getElementById('witness-commitment');
    el.witnessDigits = document.getElementById('witness-digits');
    el.witnessNeeded = document.getElementById('witness-needed');

    var stored = storeGet(CHECKED_IN_KEY);
    checkedName = stored && stored.trim() ? stored.trim() : null;

    el.findForm.addEventListener('submit', onFind);
    el.findInput.addEventListener('input', onFindInput);
    el.findInput.addEventListener('search', onFind);
    el.checkinForm.addEventListener('submit', onCheckin);
    document.addEventListener('visibilitychange', onVisibility);

    if ('EventSource' in window) openStream();
    else startPolling();
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})();
