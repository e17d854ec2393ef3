#!/usr/bin/python3
"""Accepts SMB connections and never answers: a computer that hangs mid-call."""
import socket
import sys
import threading

held = []


def serve(address, port):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((address, port))
    s.listen(512)
    while True:
        conn, _ = s.accept()
        held.append(conn)  # kept open, never read from or written to


for port in (445, 139):
    threading.Thread(target=serve, args=(sys.argv[1], port), daemon=True).start()
threading.Event().wait()
