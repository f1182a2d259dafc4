#!/usr/bin/env python3
# Drops files onto a window the way an X file manager does (XDND, text/uri-list), so that a program under
# Wine gets a real WM_DROPFILES. For the end-to-end tests; needs only Python and libX11 (through ctypes).
import argparse
import ctypes
import os
import select
import sys
import time
from ctypes import POINTER, Structure, Union, byref
from ctypes import c_char_p, c_int, c_long, c_ubyte, c_uint, c_ulong, c_void_p
from urllib.parse import quote

XDND_VERSION = 5
SELECTION_REQUEST, SELECTION_NOTIFY, CLIENT_MESSAGE = 30, 31, 33
XA_ATOM, PROP_MODE_REPLACE = 4, 0


class ClientMessage(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("window", c_ulong), ("message_type", c_ulong), ("format", c_int), ("l", c_long * 5)]


class SelectionRequest(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("owner", c_ulong), ("requestor", c_ulong), ("selection", c_ulong), ("target", c_ulong),
                ("property", c_ulong), ("time", c_ulong)]


class SelectionNotify(Structure):
    _fields_ = [("type", c_int), ("serial", c_ulong), ("send_event", c_int), ("display", c_void_p),
                ("requestor", c_ulong), ("selection", c_ulong), ("target", c_ulong), ("property", c_ulong),
                ("time", c_ulong)]


class XEvent(Union):
    _fields_ = [("type", c_int), ("xclient", ClientMessage), ("xselectionrequest", SelectionRequest),
                ("xselection", SelectionNotify), ("pad", c_long * 24)]


def load_xlib():
    x = ctypes.CDLL("libX11.so.6")
    W, D = c_ulong, c_void_p
    sigs = {
        "XOpenDisplay": (D, [c_char_p]), "XDefaultRootWindow": (W, [D]), "XConnectionNumber": (c_int, [D]),
        "XInternAtom": (W, [D, c_char_p, c_int]), "XFlush": (c_int, [D]), "XPending": (c_int, [D]),
        "XCreateSimpleWindow": (W, [D, W, c_int, c_int, c_uint, c_uint, c_uint, W, W]),
        "XSetSelectionOwner": (c_int, [D, W, W, W]), "XGetSelectionOwner": (W, [D, W]),
        "XSendEvent": (c_int, [D, W, c_int, c_long, POINTER(XEvent)]),
        "XNextEvent": (c_int, [D, POINTER(XEvent)]),
        "XChangeProperty": (c_int, [D, W, W, W, c_int, c_int, c_void_p, c_int]),
        "XGetWindowProperty": (c_int, [D, W, W, c_long, c_long, c_int, W, POINTER(W), POINTER(c_int),
                                       POINTER(c_ulong), POINTER(c_ulong), POINTER(POINTER(c_ubyte))]),
        "XTranslateCoordinates": (c_int, [D, W, W, c_int, c_int, POINTER(c_int), POINTER(c_int), POINTER(W)]),
        "XFree": (c_int, [c_void_p]), "XSetErrorHandler": (c_void_p, [c_void_p]),
    }
    for name, (res, args) in sigs.items():
        getattr(x, name).restype, getattr(x, name).argtypes = res, args
    return x


class Drop:
    def __init__(self, x, y, files, window):
        self.X = load_xlib()
        self.dpy = self.X.XOpenDisplay(None)
        if not self.dpy:
            raise SystemExit("xdnd_drop: cannot open display %r" % os.environ.get("DISPLAY"))
        # A failed request (a window that is gone) should read as "no answer", not end the script.
        self.on_error = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda d, e: 0)
        self.X.XSetErrorHandler(self.on_error)
        self.root = self.X.XDefaultRootWindow(self.dpy)
        self.atom = {n: self.X.XInternAtom(self.dpy, n.encode(), 0) for n in (
            "XdndAware", "XdndSelection", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave", "XdndDrop",
            "XdndFinished", "XdndActionCopy", "TARGETS", "text/uri-list")}
        self.x, self.y = x, y
        self.uris = "".join("file://%s\r\n" % quote(os.fsencode(os.path.abspath(f))) for f in files).encode()
        self.target = window or self.aware_window_at(x, y)
        self.version = min(XDND_VERSION, self.aware_version(self.target))
        if not self.version:
            raise SystemExit("xdnd_drop: window 0x%x takes no XDND drops (no XdndAware)" % self.target)
        self.source = self.X.XCreateSimpleWindow(self.dpy, self.root, -10, -10, 1, 1, 0, 0, 0)

    def aware_version(self, win):
        kind, fmt, n, rest = c_ulong(), c_int(), c_ulong(), c_ulong()
        data = POINTER(c_ubyte)()
        if self.X.XGetWindowProperty(self.dpy, win, self.atom["XdndAware"], 0, 1, 0, XA_ATOM, byref(kind),
                                     byref(fmt), byref(n), byref(rest), byref(data)) != 0 or not data:
            return 0
        version = ctypes.cast(data, POINTER(c_ulong))[0] if n.value else 0
        self.X.XFree(data)
        return version

    def aware_window_at(self, x, y):
        # What a file manager does: from the root down, the first window under the pointer with XdndAware.
        win, found = self.root, 0
        while win and not found:
            if self.aware_version(win):
                found = win
            cx, cy, child = c_int(), c_int(), c_ulong()
            self.X.XTranslateCoordinates(self.dpy, self.root, win, x, y, byref(cx), byref(cy), byref(child))
            win = child.value
        if not found:
            raise SystemExit("xdnd_drop: no XDND-aware window at %d,%d" % (x, y))
        return found

    def send(self, kind, *data):
        ev = XEvent()
        ev.xclient.type, ev.xclient.window, ev.xclient.format = CLIENT_MESSAGE, self.target, 32
        ev.xclient.message_type = self.atom[kind]
        ev.xclient.l[:] = ([self.source] + list(data) + [0] * 4)[:5]
        self.X.XSendEvent(self.dpy, self.target, 0, 0, byref(ev))
        self.X.XFlush(self.dpy)

    def answer(self, req):
        # Wine reads the list while it handles XdndEnter, so answer at once.
        prop = req.property or req.target
        if req.target == self.atom["text/uri-list"]:
            self.X.XChangeProperty(self.dpy, req.requestor, prop, req.target, 8, PROP_MODE_REPLACE,
                                   self.uris, len(self.uris))
        elif req.target == self.atom["TARGETS"]:
            targets = (c_ulong * 2)(self.atom["TARGETS"], self.atom["text/uri-list"])
            self.X.XChangeProperty(self.dpy, req.requestor, prop, XA_ATOM, 32, PROP_MODE_REPLACE, targets, 2)
        else:
            prop = 0
        ev = XEvent()
        s = ev.xselection
        s.type, s.requestor, s.selection, s.target, s.property, s.time = (
            SELECTION_NOTIFY, req.requestor, req.selection, req.target, prop, req.time)
        self.X.XSendEvent(self.dpy, req.requestor, 0, 0, byref(ev))
        self.X.XFlush(self.dpy)

    def enter(self):
        self.send("XdndEnter", self.version << 24, self.atom["text/uri-list"])
        self.send("XdndPosition", 0, (self.x << 16) | self.y, 0, self.atom["XdndActionCopy"])

    def run(self, timeout):
        a = self.atom
        self.X.XSetSelectionOwner(self.dpy, a["XdndSelection"], self.source, 0)
        if self.X.XGetSelectionOwner(self.dpy, a["XdndSelection"]) != self.source:
            return "could not own the XdndSelection"
        self.enter()
        dropped, retried = False, False
        deadline, fd = time.monotonic() + timeout, self.X.XConnectionNumber(self.dpy)
        while True:
            while self.X.XPending(self.dpy):
                ev = XEvent()
                self.X.XNextEvent(self.dpy, byref(ev))
                if ev.type == SELECTION_REQUEST:
                    self.answer(ev.xselectionrequest)
                elif ev.type != CLIENT_MESSAGE or ev.xclient.l[0] != self.target:
                    continue
                elif ev.xclient.message_type == a["XdndStatus"] and not dropped:
                    if not ev.xclient.l[1] & 1:
                        self.send("XdndLeave")
                        if retried:
                            return "window 0x%x refused the drop at %d,%d" % (self.target, self.x, self.y)
                        # Wine waits only half a second for the list; on a busy machine we may miss that.
                        retried = True
                        self.enter()
                        continue
                    self.send("XdndDrop", 0, 0)
                    dropped = True
                elif ev.xclient.message_type == a["XdndFinished"] and dropped:
                    if self.version >= 5 and not ev.xclient.l[1] & 1:
                        return "window 0x%x finished the drop without taking the files" % self.target
                    return None
            left = deadline - time.monotonic()
            if left <= 0:
                if not dropped:
                    self.send("XdndLeave")
                return "no %s from window 0x%x within %gs" % (
                    "XdndFinished" if dropped else "XdndStatus", self.target, timeout)
            select.select([fd], [], [], min(left, 0.05))


def main():
    p = argparse.ArgumentParser(description="Drop files onto an X window through XDND.")
    p.add_argument("--window", type=lambda s: int(s, 0), help="target window id (default: the one at X,Y)")
    p.add_argument("--x", type=int, required=True, help="drop point, root coordinates")
    p.add_argument("--y", type=int, required=True)
    p.add_argument("--timeout", type=float, default=5.0, help="seconds to wait for the target")
    p.add_argument("files", nargs="+")
    args = p.parse_args()
    if not (0 <= args.x < 65536 and 0 <= args.y < 65536):
        p.error("the drop point must lie on the screen")
    # A file manager drops only what exists; Wine would pass a missing path on without a word.
    missing = [f for f in args.files if not os.path.exists(f)]
    if missing:
        p.error("no such file: " + ", ".join(missing))
    error = Drop(args.x, args.y, args.files, args.window).run(args.timeout)
    if error:
        sys.exit("xdnd_drop: " + error)


if __name__ == "__main__":
    main()
