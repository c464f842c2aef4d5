#!/usr/bin/env python3
"""Drives a headless Chromium over the DevTools pipe for the phone page's tests.

Reads one command a line on stdin and answers each with one JSON line on stdout:

    viewport W H          the page's size, as a phone (mobile, scale 1)
    open URL              navigates and waits for the load event
    eval JS               the expression's value (promises awaited)
    wait MS JS            until the expression is truthy, polled every 20 ms
    type SELECTOR TEXT    focuses the element and types TEXT into it, replacing what it held;
                          one space after SELECTOR, the rest of the line is TEXT as it is
    click SELECTOR        element.click()
    screenshot PATH       a PNG of the viewport
    quit                  closes the browser and exits 0

It prints {"ready":true} once the browser answers, or {"ready":false,"error":...} and exits 2.
The page's console messages, exceptions and CSP reports go to stderr, one line each.
The browser dies with this script: on EOF of stdin, on a signal, or when this process is killed.

Usage: browser_driver.py [--chromium PATH] [--keep-profile]
"""

import base64
import ctypes
import json
import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

REPLY_CEILING_S = 20.0
WAIT_STEP_S = 0.02


class BrowserGone(Exception):
    pass


class ProtocolError(Exception):
    pass


class Browser:
    def __init__(self, executable, keep_profile=False):
        self.profile = tempfile.mkdtemp(prefix="rafo-browser-")
        self.keep_profile = keep_profile
        self.proc = None
        self.next_id = 0
        self.replies = {}
        self.events = []           # (sequence, message), kept for waits on events
        self.event_seq = 0
        self.cond = threading.Condition()
        self.gone = False
        self.session = None
        self.log_path = os.path.join(self.profile, "chromium.log")
        self._start(executable)

    # ---- process --------------------------------------------------------------------

    def _start(self, executable):
        to_browser_r, to_browser_w = os.pipe()
        from_browser_r, from_browser_w = os.pipe()

        try:
            prctl = ctypes.CDLL(None, use_errno=True).prctl
        except (OSError, AttributeError):
            prctl = None

        def child_setup():
            # The pipe's ends at fd 3 and 4, as --remote-debugging-pipe expects; moved out of
            # the way first so neither dup2 overwrites the other.
            a = os.dup(to_browser_r)
            b = os.dup(from_browser_w)
            os.dup2(a, 3)
            os.dup2(b, 4)
            os.close(a)
            os.close(b)
            if prctl is not None:
                prctl(1, int(signal.SIGKILL))  # PR_SET_PDEATHSIG: die with the driver

        args = [
            executable,
            "--headless=new",
            "--no-sandbox",
            "--disable-gpu",
            "--disable-quic",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--disable-extensions",
            "--mute-audio",
            "--remote-debugging-pipe",
            "--user-data-dir=" + self.profile,
            "about:blank",
        ]
        log = open(self.log_path, "wb")
        try:
            # fds 3 and 4 are made in child_setup; every other descriptor of ours is
            # close-on-exec, so none leaks into the browser.
            self.proc = subprocess.Popen(
                args,
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=log,
                close_fds=False,
                preexec_fn=child_setup,
                start_new_session=True,
            )
        finally:
            log.close()
            os.close(to_browser_r)
            os.close(from_browser_w)
        self.wfd = to_browser_w
        self.rfd = from_browser_r
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def log_tail(self, limit=600):
        try:
            with open(self.log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace").strip()
        except OSError:
            return ""
        return text[-limit:]

    def kill(self):
        """Takes the browser and its helpers down at once; safe in a signal handler."""
        if self.proc is not None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
        if not self.keep_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    def close(self):
        if self.proc is not None and self.proc.poll() is None:
            try:
                self.send("Browser.close", session=False, timeout=5)
            except Exception:
                pass
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        if self.proc is not None:
            # The browser's helpers share its process group; take them down with it.
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        for fd in (getattr(self, "wfd", None), getattr(self, "rfd", None)):
            if fd is not None:
                try:
                    os.close(fd)
                except OSError:
                    pass
        self.wfd = self.rfd = None
        if not self.keep_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    # ---- protocol -------------------------------------------------------------------

    def _read(self):
        buf = b""
        while True:
            try:
                chunk = os.read(self.rfd, 1 << 16)
            except OSError:
                chunk = b""
            if not chunk:
                break
            buf += chunk
            while True:
                end = buf.find(b"\0")
                if end < 0:
                    break
                raw, buf = buf[:end], buf[end + 1:]
                try:
                    msg = json.loads(raw.decode("utf-8"))
                except ValueError:
                    continue
                self._dispatch(msg)
        with self.cond:
            self.gone = True
            self.cond.notify_all()

    def _dispatch(self, msg):
        if "id" in msg:
            with self.cond:
                self.replies[msg["id"]] = msg
                self.cond.notify_all()
            return
        method = msg.get("method", "")
        params = msg.get("params", {})
        if method == "Runtime.consoleAPICalled":
            parts = []
            for arg in params.get("args", []):
                parts.append(str(arg.get("value", arg.get("description", arg.get("type", "")))))
            note("console." + params.get("type", "log"), " ".join(parts))
        elif method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            exc = details.get("exception", {})
            note("exception", exc.get("description") or details.get("text", ""))
        elif method == "Log.entryAdded":
            entry = params.get("entry", {})
            note("log." + entry.get("level", ""), entry.get("text", ""))
        with self.cond:
            self.event_seq += 1
            self.events.append((self.event_seq, msg))
            # Only the recent ones matter: waits look at events after their own start.
            if len(self.events) > 2000:
                del self.events[:1000]
            self.cond.notify_all()

    def send(self, method, params=None, session=True, timeout=REPLY_CEILING_S):
        with self.cond:
            if self.gone:
                raise BrowserGone("browser exited")
            self.next_id += 1
            mid = self.next_id
        msg = {"id": mid, "method": method, "params": params or {}}
        if session and self.session:
            msg["sessionId"] = self.session
        data = json.dumps(msg).encode("utf-8") + b"\0"
        try:
            view = memoryview(data)
            while view:
                n = os.write(self.wfd, view)
                view = view[n:]
        except OSError as e:
            raise BrowserGone("browser pipe closed: %s" % e)
        deadline = time.monotonic() + min(timeout, REPLY_CEILING_S)
        with self.cond:
            while mid not in self.replies:
                if self.gone:
                    raise BrowserGone("browser exited")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise ProtocolError("no reply to %s within %g s" % (method, min(timeout, REPLY_CEILING_S)))
                self.cond.wait(left)
            reply = self.replies.pop(mid)
        if "error" in reply:
            raise ProtocolError("%s: %s" % (method, reply["error"].get("message", reply["error"])))
        return reply.get("result", {})

    def event_mark(self):
        with self.cond:
            return self.event_seq

    def wait_event(self, after, test, timeout):
        deadline = time.monotonic() + min(timeout, REPLY_CEILING_S)
        with self.cond:
            while True:
                for seq, msg in self.events:
                    if seq > after and test(msg):
                        return msg
                if self.gone:
                    raise BrowserGone("browser exited")
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.cond.wait(left)

    # ---- the page -------------------------------------------------------------------

    def attach(self):
        deadline = time.monotonic() + REPLY_CEILING_S
        target = None
        while target is None:
            infos = self.send("Target.getTargets", session=False).get("targetInfos", [])
            pages = [t for t in infos if t.get("type") == "page"]
            if pages:
                target = pages[0]["targetId"]
                break
            if time.monotonic() > deadline:
                raise ProtocolError("no page target")
            time.sleep(0.05)
        self.session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True},
                                 session=False)["sessionId"]
        self.send("Page.enable")
        self.send("Runtime.enable")
        self.send("Log.enable")

    def evaluate(self, expression, timeout=REPLY_CEILING_S):
        result = self.send("Runtime.evaluate", {
            "expression": expression,
            "returnByValue": True,
            "awaitPromise": True,
            "userGesture": True,
        }, timeout=timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            exc = details.get("exception", {})
            raise ProtocolError(exc.get("description") or details.get("text", "exception"))
        return result.get("result", {}).get("value")


def note(kind, text):
    sys.stderr.write("%s: %s\n" % (kind, text.replace("\n", " | ")))
    sys.stderr.flush()


def answer(obj):
    sys.stdout.write(json.dumps(obj) + "\n")
    sys.stdout.flush()


def js_string(s):
    return json.dumps(s)


def cmd_viewport(b, rest):
    parts = rest.split()
    if len(parts) != 2 or not all(p.isdigit() for p in parts):
        return {"ok": False, "error": "usage: viewport W H"}
    w, h = int(parts[0]), int(parts[1])
    b.send("Emulation.setDeviceMetricsOverride",
           {"width": w, "height": h, "deviceScaleFactor": 1, "mobile": True})
    return {"ok": True}


def cmd_open(b, rest):
    url = rest.strip()
    if not url:
        return {"ok": False, "error": "usage: open URL"}
    mark = b.event_mark()
    result = b.send("Page.navigate", {"url": url})
    if result.get("errorText"):
        return {"ok": False, "error": result["errorText"]}
    loader = result.get("loaderId")
    if not loader:
        return {"ok": True}  # a change of the fragment only: no load follows
    fired = b.wait_event(mark, lambda m: m.get("method") == "Page.loadEventFired"
                         and m.get("sessionId") == b.session, REPLY_CEILING_S)
    if fired is None:
        return {"ok": False, "error": "no load event within %g s" % REPLY_CEILING_S}
    return {"ok": True}


def cmd_eval(b, rest):
    return {"ok": True, "value": b.evaluate(rest)}


def cmd_wait(b, rest):
    parts = rest.split(" ", 1)
    if len(parts) != 2 or not parts[0].isdigit():
        return {"ok": False, "error": "usage: wait MS JS"}
    limit = int(parts[0]) / 1000.0
    # Newlines keep a trailing // comment from swallowing the parenthesis.
    expression = "!!(\n" + parts[1] + "\n)"
    start = time.monotonic()
    while True:
        try:
            if b.evaluate(expression, timeout=max(1.0, min(REPLY_CEILING_S, limit))) is True:
                return {"ok": True, "ms": int((time.monotonic() - start) * 1000)}
        except ProtocolError:
            pass  # not there yet, or the page is between documents
        elapsed = time.monotonic() - start
        if elapsed >= limit:
            return {"ok": False, "ms": int(elapsed * 1000)}
        time.sleep(min(WAIT_STEP_S, max(0.0, limit - elapsed)))


def cmd_type(b, rest):
    parts = rest.split(" ", 1)
    selector = parts[0]
    text = parts[1] if len(parts) > 1 else ""
    if not selector:
        return {"ok": False, "error": "usage: type SELECTOR TEXT"}
    found = b.evaluate("""(function (sel) {
  var el = document.querySelector(sel);
  if (!el) return false;
  el.focus();
  if (typeof el.select === 'function') el.select();
  else {
    var range = document.createRange();
    range.selectNodeContents(el);
    var s = window.getSelection();
    s.removeAllRanges();
    s.addRange(range);
  }
  return document.activeElement === el;
})(%s)""" % js_string(selector))
    if not found:
        return {"ok": False, "error": "no focusable element " + selector}
    if text:
        b.send("Input.insertText", {"text": text})
    else:
        b.evaluate("document.execCommand('delete')")
    return {"ok": True}


def cmd_click(b, rest):
    selector = rest.strip()
    clicked = b.evaluate("""(function (sel) {
  var el = document.querySelector(sel);
  if (!el) return false;
  el.click();
  return true;
})(%s)""" % js_string(selector))
    if not clicked:
        return {"ok": False, "error": "no element " + selector}
    return {"ok": True}


def cmd_screenshot(b, rest):
    path = rest
    if not path:
        return {"ok": False, "error": "usage: screenshot PATH"}
    data = b.send("Page.captureScreenshot", {"format": "png"})["data"]
    with open(path, "wb") as f:
        f.write(base64.b64decode(data))
    return {"ok": True}


COMMANDS = {
    "viewport": cmd_viewport,
    "open": cmd_open,
    "eval": cmd_eval,
    "wait": cmd_wait,
    "type": cmd_type,
    "click": cmd_click,
    "screenshot": cmd_screenshot,
}


def main(argv):
    executable = os.environ.get("RAFO_CHROMIUM", "/usr/bin/chromium")
    keep_profile = False
    i = 1
    while i < len(argv):
        if argv[i] == "--chromium" and i + 1 < len(argv):
            executable = argv[i + 1]
            i += 2
        elif argv[i] == "--keep-profile":
            keep_profile = True
            i += 1
        else:
            sys.stderr.write(__doc__)
            return 64

    browser = None

    def stop(signum, frame):
        if browser is not None:
            browser.kill()
        os._exit(128 + signum)

    for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(sig, stop)

    try:
        if not os.access(executable, os.X_OK):
            raise OSError("cannot run " + executable)
        browser = Browser(executable, keep_profile)
        browser.attach()
    except Exception as e:
        error = str(e)
        if browser is not None:
            tail = browser.log_tail()
            if tail:
                error += ": " + tail
            browser.close()
        answer({"ready": False, "error": error})
        return 2

    answer({"ready": True})
    try:
        stdin = sys.stdin.buffer
        while True:
            raw = stdin.readline()
            if not raw:
                break
            line = raw.decode("utf-8", "replace")
            if line.endswith("\n"):
                line = line[:-1]
            if line.endswith("\r"):
                line = line[:-1]
            if not line.strip():
                continue
            name, _, rest = line.partition(" ")
            if name == "quit":
                answer({"ok": True})
                break
            handler = COMMANDS.get(name)
            if handler is None:
                answer({"ok": False, "error": "unknown command " + name})
                continue
            try:
                answer(handler(browser, rest))
            except (ProtocolError, BrowserGone, OSError) as e:
                answer({"ok": False, "error": str(e)})
    finally:
        browser.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
