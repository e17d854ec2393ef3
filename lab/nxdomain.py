#!/usr/bin/python3
"""The world outside the lab as its controller's DNS forwarder sees it: every
name is unknown. Answers each query at once with NXDOMAIN, as a real
network's resolvers do, so a name nobody has fails quickly instead of after
the resolver's time-outs."""
import socket
import sys


def main(address, port):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.bind((address, port))
    while True:
        query, peer = s.recvfrom(4096)
        if len(query) < 12 or query[2] & 0x80:
            continue
        # Same id and question; a response, recursion available, NXDOMAIN,
        # nothing in the other sections.
        flags = bytes([0x80 | (query[2] & 0x79), 0x80 | 3])
        s.sendto(query[:2] + flags + query[4:6] + b"\0\0\0\0\0\0" + query[12:], peer)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
