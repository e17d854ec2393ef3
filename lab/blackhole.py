#!/usr/bin/python3
"""Accepts SMB connections and never answers: a computer that hangs mid-call.
What clients send is read and dropped; a connection the client has closed is
closed too, so many tests in a row do not run it out of descriptors."""
import selectors
import socket
import sys


def main(address):
    sel = selectors.DefaultSelector()
    for port in (445, 139):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind((address, port))
        s.listen(512)
        sel.register(s, selectors.EVENT_READ, "listener")
    while True:
        for key, _ in sel.select():
            sock = key.fileobj
            if key.data == "listener":
                conn, _ = sock.accept()
                sel.register(conn, selectors.EVENT_READ, "held")
                continue
            try:
                data = sock.recv(65536)
            except OSError:
                data = b""
            if not data:
                sel.unregister(sock)
                sock.close()


main(sys.argv[1])
