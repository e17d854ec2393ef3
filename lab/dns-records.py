#!/usr/bin/python3
"""dns-records.py SMB_CONF SAM_LDB ZONE < "name address" lines

Adds one A record per line to ZONE in the controller's directory, unless the
name is there already, all in one transaction (the DNS management service takes a fraction of a second per
record, which made minutes of a few hundred). The controller's DNS server
reads its records from the directory, so they answer at once."""
import sys

import ldb
from samba import param
from samba.auth import system_session
from samba.dcerpc import dnsp
from samba.ndr import ndr_pack
from samba.samdb import SamDB


def main(conf, sam, zone):
    lp = param.LoadParm()
    lp.load(conf)
    db = SamDB(url=sam, session_info=system_session(), lp=lp)
    zone_dn = "DC=%s,CN=MicrosoftDNS,DC=DomainDnsZones,%s" % (zone, db.domain_dn())
    existing = {str(m["name"][0]).lower() for m in db.search(base=zone_dn, scope=ldb.SCOPE_ONELEVEL,
                                                             expression="(objectClass=dnsNode)", attrs=["name"])}
    count = 0
    db.transaction_start()
    try:
        for line in sys.stdin:
            if not line.strip():
                continue
            name, address = line.split()
            if name.lower() in existing:
                continue
            record = dnsp.DnssrvRpcRecord()
            record.wType = dnsp.DNS_TYPE_A
            record.rank = dnsp.DNS_RANK_ZONE
            record.dwSerial = 1
            record.dwTtlSeconds = 900
            record.data = address
            db.add({"dn": "DC=%s,%s" % (name, zone_dn), "objectClass": "dnsNode", "dnsRecord": [ndr_pack(record)]})
            count += 1
    except Exception:
        db.transaction_cancel()
        raise
    db.transaction_commit()
    print("dns-records: %d added to %s" % (count, zone))


main(*sys.argv[1:4])
