#!/usr/bin/env python3
"""Splits the X server's one screen into two RandR monitors side by side, LEFT and RIGHT, the way two
screens of a desktop look to a program. Usage: split_monitors.py <width of LEFT in pixels>"""
import ctypes
import ctypes.util
import sys

x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
xrandr = ctypes.CDLL(ctypes.util.find_library("Xrandr"))


class Monitor(ctypes.Structure):  # XRRMonitorInfo
    _fields_ = [("name", ctypes.c_ulong), ("primary", ctypes.c_int), ("automatic", ctypes.c_int),
                ("noutput", ctypes.c_int), ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("mwidth", ctypes.c_int), ("mheight", ctypes.c_int),
                ("outputs", ctypes.POINTER(ctypes.c_ulong))]


class Resources(ctypes.Structure):  # the head of XRRScreenResources
    _fields_ = [("timestamp", ctypes.c_ulong), ("configTimestamp", ctypes.c_ulong), ("ncrtc", ctypes.c_int),
                ("crtcs", ctypes.POINTER(ctypes.c_ulong)), ("noutput", ctypes.c_int),
                ("outputs", ctypes.POINTER(ctypes.c_ulong))]


x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xrandr.XRRGetScreenResourcesCurrent.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xrandr.XRRGetScreenResourcesCurrent.restype = ctypes.POINTER(Resources)
xrandr.XRRSetMonitor.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Monitor)]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X server")
root = x11.XDefaultRootWindow(display)
width, height = x11.XDisplayWidth(display, 0), x11.XDisplayHeight(display, 0)
left = int(sys.argv[1])
# LEFT takes the server's output, so the output's own monitor (the whole screen) gives way to it.
output = (ctypes.c_ulong * 1)(xrandr.XRRGetScreenResourcesCurrent(display, root).contents.outputs[0])
for name, x, w, outputs in ((b"LEFT", 0, left, output), (b"RIGHT", left, width - left, None)):
    m = Monitor(name=x11.XInternAtom(display, name, 0), primary=int(outputs is not None), automatic=0,
                noutput=1 if outputs is not None else 0, x=x, y=0, width=w, height=height,
                mwidth=w * 254 // 960, mheight=height * 254 // 960,
                outputs=ctypes.cast(outputs, ctypes.POINTER(ctypes.c_ulong)) if outputs is not None else None)
    xrandr.XRRSetMonitor(display, root, ctypes.byref(m))
x11.XSync(display, 0)
