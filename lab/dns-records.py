#!/usr/bin/python3
"""dns-records.py SMB_CONF SERVER ZONE ADMIN_PASSWORD < "name address" lines

Adds one A record per line to ZONE on the controller SERVER, over one
connection to its DNS management service (one samba-tool call per record
would take minutes for a few hundred)."""
import sys

from samba import credentials, param
from samba.dcerpc import dnsserver
from samba.dnsserver import ARecord


def main(conf, server, zone, password):
    lp = param.LoadParm()
    lp.load(conf)
    creds = credentials.Credentials()
    creds.guess(lp)
    creds.set_username("Administrator")
    creds.set_password(password)
    conn = dnsserver.dnsserver("ncacn_ip_tcp:%s[sign]" % server, lp, creds)
    count = 0
    for line in sys.stdin:
        if not line.strip():
            continue
        name, address = line.split()
        record = dnsserver.DNS_RPC_RECORD_BUF()
        record.rec = ARecord(address)
        conn.DnssrvUpdateRecord2(dnsserver.DNS_CLIENT_VERSION_LONGHORN, 0, server, zone, name, record, None)
        count += 1
    print("dns-records: %d added to %s" % (count, zone))


main(*sys.argv[1:5])
