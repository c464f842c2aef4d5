/* The arithmetic of a witnessed draw, for the guests' page to check a reveal itself:
   its own SHA-256, since pages over plain HTTP get no crypto.subtle. */
var RafoWitness = (function () {
  'use strict';

  // SHA-256 of a Uint8Array, written out here: pages over plain HTTP get no crypto.subtle.
  var SHA256_K = [
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2
  ];

  function rotr(x, n) {
    return (x >>> n) | (x << (32 - n));
  }

  function sha256(bytes) {
    var n = bytes.length;
    var total = Math.ceil((n + 9) / 64) * 64;
    var m = new Uint8Array(total);
    var i;
    m.set(bytes);
    m[n] = 0x80;
    // The length in bits, 64-bit big-endian; n * 8 stays exact in a double.
    var high = Math.floor(n / 0x20000000);
    var low = (n * 8) >>> 0;
    for (i = 0; i < 4; i++) {
      m[total - 8 + i] = (high >>> (24 - 8 * i)) & 0xff;
      m[total - 4 + i] = (low >>> (24 - 8 * i)) & 0xff;
    }
    var hash = [0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19];
    var w = new Array(64);
    for (var off = 0; off < total; off += 64) {
      for (i = 0; i < 16; i++) {
        var j = off + 4 * i;
        w[i] = (m[j] << 24) | (m[j + 1] << 16) | (m[j + 2] << 8) | m[j + 3];
      }
      for (i = 16; i < 64; i++) {
        var x = w[i - 15];
        var y = w[i - 2];
        var s0 = rotr(x, 7) ^ rotr(x, 18) ^ (x >>> 3);
        var s1 = rotr(y, 17) ^ rotr(y, 19) ^ (y >>> 10);
        w[i] = (w[i - 16] + s0 + w[i - 7] + s1) | 0;
      }
      var a = hash[0], b = hash[1], c = hash[2], d = hash[3];
      var e = hash[4], f = hash[5], g = hash[6], h = hash[7];
      for (i = 0; i < 64; i++) {
        var t1 = (h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + SHA256_K[i] + w[i]) | 0;
        var t2 = ((rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c))) | 0;
        h = g;
        g = f;
        f = e;
        e = (d + t1) | 0;
        d = c;
        c = b;
        b = a;
        a = (t1 + t2) | 0;
      }
      hash[0] = (hash[0] + a) | 0;
      hash[1] = (hash[1] + b) | 0;
      hash[2] = (hash[2] + c) | 0;
      hash[3] = (hash[3] + d) | 0;
      hash[4] = (hash[4] + e) | 0;
      hash[5] = (hash[5] + f) | 0;
      hash[6] = (hash[6] + g) | 0;
      hash[7] = (hash[7] + h) | 0;
    }
    var out = new Uint8Array(32);
    for (i = 0; i < 32; i++) out[i] = (hash[i >> 2] >>> (24 - 8 * (i & 3))) & 0xff;
    return out;
  }

  function utf8(s) {
    if (typeof window.TextEncoder === 'function') return new window.TextEncoder().encode(s);
    var bin = unescape(encodeURIComponent(s)); // old WebViews; throws on a lone surrogate
    var out = new Uint8Array(bin.length);
    for (var i = 0; i < bin.length; i++) out[i] = bin.charCodeAt(i);
    return out;
  }

  function joinBytes(parts) {
    var size = 0;
    var i;
    for (i = 0; i < parts.length; i++) size += parts[i].length;
    var out = new Uint8Array(size);
    for (i = 0, size = 0; i < parts.length; i++) {
      out.set(parts[i], size);
      size += parts[i].length;
    }
    return out;
  }

  // 32 bytes from 64 hex digits, or null.
  function digestBytes(hex) {
    if (!/^[0-9a-f]{64}$/.test(hex)) return null;
    var out = new Uint8Array(32);
    for (var i = 0; i < 32; i++) out[i] = parseInt(hex.substr(2 * i, 2), 16);
    return out;
  }

  function toHex(bytes) {
    var s = '';
    for (var i = 0; i < bytes.length; i++) s += (bytes[i] < 16 ? '0' : '') + bytes[i].toString(16);
    return s;
  }

  function littleEndian32(n) {
    return new Uint8Array([n & 0xff, (n >>> 8) & 0xff, (n >>> 16) & 0xff, (n >>> 24) & 0xff]);
  }

  function commitment(secretHex, admittedHex, prize) {
    var secret = digestBytes(secretHex);
    var admitted = digestBytes(admittedHex);
    if (!secret || !admitted) return null;
    return toHex(sha256(joinBytes([utf8('rafo-2 commit\n'), secret, admitted, littleEndian32(prize)])));
  }

  function seed(commitmentHex, secretHex, digits) {
    var committed = digestBytes(commitmentHex);
    var secret = digestBytes(secretHex);
    if (!committed || !secret) return null;
    try {
      return toHex(sha256(joinBytes([utf8('rafo-2 seed\n'), committed, secret, utf8(digits)])));
    } catch (e) {
      return null; // digits no encoder takes cannot match
    }
  }

  return { sha256: sha256, commitment: commitment, seed: seed };
})();
