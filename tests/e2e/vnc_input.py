#!/usr/bin/env python3
"""Sends pointer and key events to a VNC server on a Unix socket (wayvnc under sway), the one way
found to give a headless Wayland compositor a pointer. Usage: vnc_input.py SOCKET WORD...
Words: "move X Y" (output pixels), "down" / "up" (the left button), "key KEYSYM" (hex, pressed and
released), "sleep SECONDS", and "timed KEYSYM press|release FILE TEXT": the key pressed and released,
then printed: the milliseconds from the press or the release (whichever acts) until FILE holds one
more line whose last word is TEXT."""
import socket
import struct
import sys
import time


def receive(connection, count):
    data = b""
    while len(data) < count:
        part = connection.recv(count - len(data))
        if not part:
            sys.exit("vnc_input: the server closed the connection")
        data += part
    return data


def connect(path):
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.connect(path)
    receive(connection, 12)  # the server's protocol version
    connection.sendall(b"RFB 003.008\n")
    kinds = receive(connection, receive(connection, 1)[0])
    if 1 not in kinds:
        sys.exit(f"vnc_input: the server wants a password (security types {list(kinds)})")
    connection.sendall(b"\x01")
    if struct.unpack(">I", receive(connection, 4))[0] != 0:
        sys.exit("vnc_input: the server refused the connection")
    connection.sendall(b"\x01")  # shared
    receive(connection, 20)  # size and pixel format
    receive(connection, struct.unpack(">I", receive(connection, 4))[0])  # the desktop's name
    return connection


def lines_with(path, text):
    with open(path, encoding="utf-8", errors="replace") as file:
        return sum(line.split()[-1:] == [text] for line in file)


def timed_key(connection, keysym, acting, path, text):
    before = lines_with(path, text)
    started = 0.0
    for down in (1, 0):
        if (down == 1) == (acting == "press"):
            started = time.monotonic()
        connection.sendall(struct.pack(">BBxxI", 4, down, keysym))
        if down:
            time.sleep(0.06)
    deadline = started + 5
    while lines_with(path, text) == before:
        if time.monotonic() > deadline:
            sys.exit(f"vnc_input: no new {text!r} in {path} within 5 s")
        time.sleep(0.001)
    print(f"latency {1000 * (time.monotonic() - started):.1f}", flush=True)


def main():
    connection = connect(sys.argv[1])
    words = sys.argv[2:]
    x = y = buttons = 0
    while words:
        word = words.pop(0)
        if word == "move":
            x, y = int(words.pop(0)), int(words.pop(0))
            connection.sendall(struct.pack(">BBHH", 5, buttons, x, y))
        elif word in ("down", "up"):
            buttons = 1 if word == "down" else 0
            connection.sendall(struct.pack(">BBHH", 5, buttons, x, y))
        elif word == "key":
            keysym = int(words.pop(0), 16)
            for down in (1, 0):
                connection.sendall(struct.pack(">BBxxI", 4, down, keysym))
                time.sleep(0.06)
        elif word == "timed":
            keysym, acting, path, text = int(words.pop(0), 16), words.pop(0), words.pop(0), words.pop(0)
            timed_key(connection, keysym, acting, path, text)
        elif word == "sleep":
            time.sleep(float(words.pop(0)))
        else:
            sys.exit(f"vnc_input: unknown word {word!r}")
        time.sleep(0.03)


main()
