#!/usr/bin/python3
"""The lab: real Samba servers in network namespaces, built from manifest.json.

lab.py up | down | run CMD... | status. Everything lives below the lab folder
(RMLAB_DIR, default /var/tmp/rostermill-lab) and in namespaces named rmlab-*.
Nothing is routed: the client namespace has no default route, and the
addresses are of the benchmark range 198.18.0.0/15.
"""
import ipaddress
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MANIFEST = json.load(open(os.path.join(HERE, "manifest.json")))
LAB = os.environ.get("RMLAB_DIR", "/var/tmp/rostermill-lab")
CLIENT = "rmlab-client"
BRIDGE = "rmbr0"
PREFIX = MANIFEST["network"]["prefixLength"]
STANDALONE_ENV = dict(os.environ, _NO_WINBINDD="1")


def log(*args):
    print("lab:", *args, file=sys.stderr, flush=True)


def sh(*cmd, check=True, env=None, input=None, quiet=False):
    r = subprocess.run(cmd, env=env, input=input, text=True,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if check and r.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(cmd), r.returncode, r.stdout[-2000:]))
    return r.stdout


def netns_exec(ns, *cmd, **kw):
    return sh("ip", "netns", "exec", ns, *cmd, **kw)


# Where Samba's daemons write what their configuration does not place: the
# start-up log before the configuration is read, nmbd's socket folder, cores.
MACHINE_SAMBA_FOLDERS = ["/run/samba", "/var/log/samba", "/var/lib/samba", "/var/cache/samba"]


def covered(state, cmd):
    """The command, run with the machine's Samba folders covered by folders of
    the lab. The covering mounts live only in the private mount namespace that
    `ip netns exec` gives the command, and in its children."""
    binds = []
    for target in MACHINE_SAMBA_FOLDERS:
        if os.path.isdir(target):
            source = os.path.join(state, "machine" + target)
            os.makedirs(source, exist_ok=True)
            binds.append("mount --bind '%s' '%s'" % (source, target))
    return ["sh", "-c", " && ".join(binds + ['exec "$@"']), "covered"] + list(cmd)


def start_daemon(ns, state, *cmd, env=None):
    netns_exec(ns, *covered(state, cmd), env=env)


def namespaces():
    out = sh("ip", "netns", "list", check=False)
    return [line.split()[0] for line in out.splitlines() if line.startswith("rmlab-")]


def load_hosts():
    load = MANIFEST["load"]
    first = ipaddress.ip_address(load["firstAddress"])
    return [("%s%03d" % (load["namePrefix"], i + 1), str(first + i)) for i in range(load["count"])]


def wan_hosts():
    wan = MANIFEST["wan"]
    first = ipaddress.ip_address(wan["firstAddress"])
    return [("%s%03d" % (wan["namePrefix"], i + 1), str(first + i)) for i in range(wan["count"])]


def unreachable_hosts():
    gone = MANIFEST["unreachable"]
    first = ipaddress.ip_address(gone["firstAddress"])
    return [("%s%03d" % (gone["namePrefix"], i + 1), str(first + i)) for i in range(gone["count"])]


def dns_only_hosts():
    """Names that only the controller's DNS resolves: the load computers'
    addresses and the unreachable ones again, and the joined members."""
    d = MANIFEST["dnsOnly"]
    renamed = lambda hosts, prefix, old: [(prefix + name[len(old):], a) for name, a in hosts]
    return (renamed(load_hosts(), d["loadPrefix"], MANIFEST["load"]["namePrefix"])
            + renamed(unreachable_hosts(), d["unreachablePrefix"], MANIFEST["unreachable"]["namePrefix"])
            + [(m["name"], m["address"]) for m in MANIFEST["joinedMembers"]])


def all_names():
    """Every name the client resolves, with its address."""
    d = MANIFEST["domain"]
    names = [(d["controller"]["name"], d["controller"]["address"])]
    names += [(m["name"], m["address"]) for m in MANIFEST["members"]]
    names += [(MANIFEST["offline"]["name"], MANIFEST["offline"]["address"]),
              (MANIFEST["blackhole"]["name"], MANIFEST["blackhole"]["address"]),
              (MANIFEST["rogue"]["name"], MANIFEST["rogue"]["address"])]
    return names + load_hosts() + unreachable_hosts() + wan_hosts()


# --- network ---------------------------------------------------------------

def add_host_namespace(ns, addresses, index, router=None):
    """With a router, the addresses sit on the namespace's loopback and the
    client reaches them through the router's one address, as a remote site."""
    sh("ip", "netns", "add", ns)
    host_if, peer_if = "rmh%d" % index, "rmp%d" % index
    sh("ip", "link", "add", host_if, "netns", ns, "type", "veth", "peer", "name", peer_if, "netns", CLIENT)
    netns_exec(ns, "ip", "link", "set", "lo", "up")
    netns_exec(ns, "ip", "link", "set", host_if, "name", "eth0")
    # One ip process for all of them: thousands of addresses in a few seconds.
    where = "lo" if router else "eth0"
    own = "".join("address add %s/%d dev %s\n" % (a, 32 if router else PREFIX, where) for a in addresses)
    if router:
        own += "address add %s/%d dev eth0\n" % (router, PREFIX)
    sh("ip", "-n", ns, "-batch", "-", input=own)
    netns_exec(ns, "ip", "link", "set", "eth0", "up")
    netns_exec(CLIENT, "ip", "link", "set", peer_if, "master", BRIDGE)
    netns_exec(CLIENT, "ip", "link", "set", peer_if, "up")
    if router:
        first, last = ipaddress.ip_address(addresses[0]), ipaddress.ip_address(addresses[-1])
        for net in ipaddress.summarize_address_range(first, last):
            netns_exec(CLIENT, "ip", "route", "add", str(net), "via", router)
    # Name look-ups go to the lab's controller, never to the machine's resolver.
    os.makedirs("/etc/netns/" + ns, exist_ok=True)
    with open("/etc/netns/%s/resolv.conf" % ns, "w") as f:
        f.write("nameserver %s\nsearch %s\n" % (MANIFEST["domain"]["controller"]["address"],
                                               MANIFEST["domain"]["dnsName"]))


def build_network():
    sh("ip", "netns", "add", CLIENT)
    netns_exec(CLIENT, "ip", "link", "set", "lo", "up")
    netns_exec(CLIENT, "ip", "link", "add", BRIDGE, "type", "bridge")
    netns_exec(CLIENT, "ip", "addr", "add", "%s/%d" % (MANIFEST["network"]["bridgeAddress"], PREFIX), "dev", BRIDGE)
    netns_exec(CLIENT, "ip", "link", "set", BRIDGE, "up")
    index = 0
    add_host_namespace("rmlab-dc", [MANIFEST["domain"]["controller"]["address"]], index)
    for m in MANIFEST["members"]:
        index += 1
        add_host_namespace("rmlab-" + m["name"].lower(), [m["address"]], index)
    index += 1
    add_host_namespace("rmlab-blackhole", [MANIFEST["blackhole"]["address"]], index)
    index += 1
    add_host_namespace("rmlab-load", [a for _, a in load_hosts()], index)
    for m in MANIFEST["joinedMembers"]:
        index += 1
        add_host_namespace("rmlab-" + m["name"].lower(), [m["address"]], index)
    index += 1
    add_host_namespace("rmlab-wan", [a for _, a in wan_hosts()], index, MANIFEST["wan"]["router"])

    etc = "/etc/netns/" + CLIENT
    os.makedirs(etc, exist_ok=True)
    with open(etc + "/hosts", "w") as f:
        f.write("127.0.0.1 localhost\n")
        dns = MANIFEST["domain"]["dnsName"]
        for name, address in all_names():
            f.write("%s %s.%s %s\n" % (address, name.lower(), dns, name))
        alias = MANIFEST["shortNameOnly"]
        f.write("%s %s\n" % (alias["address"], alias["name"]))
    with open(etc + "/resolv.conf", "w") as f:
        f.write("nameserver %s\nsearch %s\n" % (MANIFEST["domain"]["controller"]["address"], dns))
    build_client_accounts()


def build_client_accounts():
    """Unprivileged users of the client namespace; only the ping group may
    open ICMP datagram sockets there (the setting is the namespace's own)."""
    users = MANIFEST["clientUsers"]
    accounts = Accounts(CLIENT)
    for name in (users["pinger"], users["other"]):
        accounts.user(name)
    accounts.group_(users["pingGroup"], [users["pinger"]])
    accounts.write()
    gid = next(l.split(":")[2] for l in accounts.group if l.startswith(users["pingGroup"] + ":"))
    netns_exec(CLIENT, "sysctl", "-q", "-w", "net.ipv4.ping_group_range=%s %s" % (gid, gid))


# --- hosts -----------------------------------------------------------------

class Accounts:
    """A host's users and groups, in the namespace's own passwd, group and
    shadow: `ip netns exec` binds /etc/netns/NS/* over /etc, so the host's own
    user database never sees them. Written whole before the host's daemons
    start; later changes (a rename) are made in place, since the daemons hold
    the bound files open by inode."""

    FIRST_ID = 61000

    def __init__(self, ns):
        self.etc = "/etc/netns/" + ns
        self.passwd = [l for l in open("/etc/passwd").read().splitlines() if l]
        self.group = [l for l in open("/etc/group").read().splitlines() if l]
        self.shadow = [l for l in open("/etc/shadow").read().splitlines() if l]
        self.next_id = self.FIRST_ID
        self.nogroup = next(l.split(":")[2] for l in self.group if l.startswith("nogroup:"))

    def _names(self, lines):
        return {l.split(":")[0] for l in lines}

    def user(self, name, uid=None):
        if name in self._names(self.passwd):
            return
        self.passwd.append("%s:x:%d:%s::/nonexistent:/usr/sbin/nologin" % (name, uid or self.next_id, self.nogroup))
        self.shadow.append("%s:!:19000:0:99999:7:::" % name)
        if uid is None:
            self.next_id += 1

    def group_(self, name, members=()):
        if name in self._names(self.group):
            return
        self.group.append("%s:x:%d:%s" % (name, self.next_id, ",".join(members)))
        self.next_id += 1

    def write(self):
        os.makedirs(self.etc, exist_ok=True)
        for name, lines, mode in (("passwd", self.passwd, 0o644), ("group", self.group, 0o644),
                                  ("shadow", self.shadow, 0o640)):
            path = os.path.join(self.etc, name)
            with open(path, "w") as f:
                f.write("\n".join(lines) + "\n")
            os.chmod(path, mode)


def unix_name(samba_name):
    return "rmlab-" + samba_name.lower().replace(" ", "-")


# A domain account's Unix id on a joined member: this plus its relative identifier.
DOMAIN_ID_BASE = 10000


def member_conf(name, address, state, browse="none", listen_all=False, joined=False):
    os.makedirs(state, exist_ok=True)
    for d in ("private", "lock", "state", "cache", "pid", "ncalrpc", "log", "usershares"):
        os.makedirs(os.path.join(state, d), exist_ok=True)
    netbios = browse != "none"
    lines = [
        "[global]",
        "netbios name = %s" % name,
        "workgroup = %s" % MANIFEST["domain"]["netbios"],
        "server role = %s" % ("member server" if joined else "standalone server"),
        "private dir = %s/private" % state,
        "lock directory = %s/lock" % state,
        "state directory = %s/state" % state,
        "cache directory = %s/cache" % state,
        "pid directory = %s/pid" % state,
        "ncalrpc dir = %s/ncalrpc" % state,
        "usershare path = %s/usershares" % state,
        "passdb backend = tdbsam:%s/private/passdb.tdb" % state,
        "username map = %s/usermap" % state,
        "rename user script = %s/rename-user %%uold %%unew" % HERE,
        "load printers = no", "printing = bsd", "printcap name = /dev/null", "disable spoolss = yes",
        "map to guest = never",
        "disable netbios = %s" % ("no" if netbios else "yes"),
        "smb ports = %s" % ("445 139" if netbios else "445"),
        "server min protocol = %s" % ("NT1" if netbios else "SMB2_02"),
    ]
    if not listen_all:
        lines += ["interfaces = %s/%d" % (address, PREFIX), "bind interfaces only = yes"]
    if joined:
        d = MANIFEST["domain"]
        lines += [
            "realm = %s" % d["realm"], "security = ads",
            # The machine's own keys in a keytab of the lab, not /etc/krb5.keytab.
            "kerberos method = dedicated keytab",
            "dedicated keytab file = FILE:%s/private/krb5.keytab" % state,
            "idmap config * : backend = tdb", "idmap config * : range = 3000-7999",
            "idmap config %s : backend = rid" % d["netbios"],
            "idmap config %s : range = %d-999999" % (d["netbios"], DOMAIN_ID_BASE),
            "winbind enum users = no", "winbind enum groups = no",
            # Every session's authorization, with its kind of authentication.
            "log level = 1 auth_audit:4", "log file = %s/log/smbd.log" % state, "max log size = 0",
        ]
    else:
        lines += ["log file = %s/log/%%m.log" % state, "max log size = 2000"]
    if browse == "master":
        lines += ["local master = yes", "preferred master = yes", "os level = 65", "domain master = no"]
    elif browse == "announce":
        lines += ["local master = no", "os level = 0"]
    conf = os.path.join(state, "smb.conf")
    with open(conf, "w") as f:
        f.write("\n".join(lines) + "\n")
    return conf


def unix_accounts(ns, host):
    """The Unix side of a member's accounts, in the namespace's own files."""
    op = MANIFEST["operator"]
    accounts = Accounts(ns)
    if host.get("refusesOperator"):
        accounts.user(op["user"])
    if host.get("joined"):
        # The Unix account the domain's operator runs as there, with the uid
        # the member's identity mapping gives it: the lab's namespaces have no
        # name service for the domain's users. Not a mapped name, which would
        # make the session forget its ticket's groups.
        sid = domain_account(op["user"], "show")
        accounts.user(op["user"], DOMAIN_ID_BASE + int(sid.rsplit("-", 1)[1]))
    accounts.group_("rmlab-admins")
    for g in host.get("groups", []):
        accounts.group_(unix_name(g["name"]))
    for g in host.get("domainGroups", []):
        accounts.group_(unix_name(g["name"]), [m.lower() for m in g["members"]])
    for u in host["users"]:
        accounts.user(u["name"].lower())
    accounts.write()


def provision_accounts(ns, conf, state, host):
    op = MANIFEST["operator"]
    net = lambda *a: netns_exec(ns, "net", "-s", conf, *a, env=STANDALONE_ENV)
    smbpasswd = lambda user, pw: netns_exec(ns, "smbpasswd", "-c", conf, "-s", "-a", user, env=STANDALONE_ENV,
                                            input="%s\n%s\n" % (pw, pw))
    # The operator works as root on the member, except where it is refused.
    # On a joined member its domain ticket counts instead: its rights come
    # from the domain's administrators being local ones.
    with open(os.path.join(state, "usermap"), "w") as f:
        if not host.get("joined") and not host.get("refusesOperator"):
            f.write("root = %s\n" % op["user"])
    if host.get("refusesOperator"):
        smbpasswd(op["user"], op["password"])
        with open(conf, "a") as f:
            f.write("\n[IPC$]\ninvalid users = %s\n" % op["user"])
    elif not host.get("joined"):
        smbpasswd("root", op["password"])
    net("groupmap", "add", "sid=S-1-5-32-544", "ntgroup=Administrators", "unixgroup=rmlab-admins", "type=builtin")
    for g in host.get("groups", []):
        net("groupmap", "add", "rid=%d" % g["rid"], "ntgroup=%s" % g["name"],
            "unixgroup=%s" % unix_name(g["name"]), "type=local")
    # Global groups: membership comes from the Unix group's member list.
    for g in host.get("domainGroups", []):
        net("groupmap", "add", "rid=%d" % g["rid"], "ntgroup=%s" % g["name"],
            "unixgroup=%s" % unix_name(g["name"]), "type=domain")
    for u in host["users"]:
        if "rid" in u:
            # The built-in administrator's relative identifier, whatever its name.
            netns_exec(ns, "pdbedit", "-s", conf, "-a", "-t", "-u", u["name"], "-U", str(u["rid"]),
                       env=STANDALONE_ENV, input="%s\n%s\n" % (op["password"], op["password"]))
        else:
            smbpasswd(u["name"], op["password"])
        if not u["enabled"]:
            netns_exec(ns, "smbpasswd", "-c", conf, "-d", u["name"], env=STANDALONE_ENV)
        for g in u.get("directGroups", u["groups"]):
            domain = "BUILTIN" if g == "Administrators" else host["name"]
            net("sam", "addmem", "%s\\%s" % (domain, g), "%s\\%s" % (host["name"], u["name"]))
    # Members that are no local account: added by SID, since nothing here can look them up.
    local_sid = net("getlocalsid").strip().split()[-1]
    rids = {g["name"]: g["rid"] for g in host.get("domainGroups", [])}
    for g in host.get("groups", []):
        members = list(g.get("foreignMembers", []))
        members += ["%s-%d" % (local_sid, rids[name]) for name in g.get("globalGroupMembers", [])]
        for sid in members:
            net("groupmap", "addmem", "%s-%d" % (local_sid, g["rid"]), sid)


def join_member(host, ns, conf, state):
    """Joins the domain as a Windows member server does: a machine account
    with its keys in a keytab."""
    d = MANIFEST["domain"]
    netns_exec(ns, *covered(state, ["net", "ads", "join", "-s", conf, "--no-dns-updates",
                                    "createcomputer=" + host["ou"], "-U", "Administrator%" + d["adminPassword"]]),
               env=STANDALONE_ENV)
    netns_exec(ns, *covered(state, ["net", "ads", "keytab", "create", "-P", "-s", conf]), env=STANDALONE_ENV)


def add_domain_members(host, ns, conf, state):
    """The domain's administrators among the local Administrators, as a
    join makes them, and deleted domain accounts left in local groups."""
    domain_sid = netns_exec(ns, *covered(state, ["net", "-s", conf, "getdomainsid"]),
                            env=STANDALONE_ENV).strip().splitlines()[-1].split()[-1]
    net = lambda *a: netns_exec(ns, *covered(state, ["net", "-s", conf] + list(a)), env=STANDALONE_ENV)
    net("groupmap", "addmem", "S-1-5-32-544", "%s-512" % domain_sid)
    local_sid = net("getlocalsid").strip().split()[-1]
    deleted = {}
    for g in host.get("groups", []):
        for account in g.get("deletedDomainMembers", []):
            sid = domain_account(account, "create")
            net("groupmap", "addmem", "%s-%d" % (local_sid, g["rid"]), sid)
            domain_account(account, "delete")
            deleted.setdefault(g["name"], []).append(sid)
    return deleted


def domain_account(name, verb):
    """Makes or looks up (giving its SID), or deletes an account of the domain."""
    dc = os.path.join(LAB, "dc")
    tool = lambda *a: sh("samba-tool", "user", *a, "-H", os.path.join(dc, "private", "sam.ldb"),
                         "-s", os.path.join(dc, "etc", "smb.conf"))
    if verb == "delete":
        tool("delete", name)
        return None
    if verb == "create":
        tool("create", name, "--random-password")
    out = tool("show", name, "--attributes=objectSid")
    return next(l.split(":", 1)[1].strip() for l in out.splitlines() if l.startswith("objectSid:"))


def start_member(host, ns, conf):
    state = os.path.dirname(conf)
    if host.get("joined"):
        start_daemon(ns, state, "winbindd", "-D", "-s", conf)
        # smbd maps each session's identity through winbindd: it answers first.
        deadline = time.time() + 20
        while netns_exec(ns, *covered(state, ["wbinfo", "-p"]), check=False, quiet=True).find("succeeded") < 0:
            if time.time() > deadline:
                raise RuntimeError("winbindd of %s did not answer" % host["name"])
            time.sleep(0.2)
        start_daemon(ns, state, "smbd", "-D", "-s", conf)
        return
    start_daemon(ns, state, "smbd", "-D", "-s", conf, env=STANDALONE_ENV)
    if host.get("browse", "none") != "none":
        start_daemon(ns, state, "nmbd", "-D", "-s", conf, env=STANDALONE_ENV)


def build_member(host):
    state = os.path.join(LAB, "hosts", host["name"])
    ns = "rmlab-" + host["name"].lower()
    conf = member_conf(host["name"], host["address"], state, host.get("browse", "none"))
    unix_accounts(ns, host)
    provision_accounts(ns, conf, state, host)
    start_member(host, ns, conf)


def build_joined_member(host):
    state = os.path.join(LAB, "hosts", host["name"])
    ns = "rmlab-" + host["name"].lower()
    conf = member_conf(host["name"], host["address"], state, joined=True)
    unix_accounts(ns, host)
    join_member(host, ns, conf, state)
    for alias in host.get("servicePrincipalAliases", []):
        dc = os.path.join(LAB, "dc")
        sh("samba-tool", "spn", "add", "HOST/" + alias, host["name"] + "$",
           "-H", os.path.join(dc, "private", "sam.ldb"), "-s", os.path.join(dc, "etc", "smb.conf"))
    provision_accounts(ns, conf, state, host)
    deleted = add_domain_members(host, ns, conf, state)
    start_member(host, ns, conf)
    return deleted


def build_load_group():
    load = MANIFEST["load"]
    host = {"name": "LOADSRV", "users": load["users"], "groups": []}
    state = os.path.join(LAB, "hosts", "LOADSRV")
    conf = member_conf("LOADSRV", None, state, listen_all=True)
    with open(conf, "a") as f:
        f.write("max smbd processes = 0\n")
    unix_accounts("rmlab-load", host)
    provision_accounts("rmlab-load", conf, state, host)
    start_member(host, "rmlab-load", conf)


def build_wan_group():
    """The load computers again, across a wide-area network: a server on the
    namespace's loopback, and the relay on every address in front of it,
    adding the manifest's delay each way."""
    wan = MANIFEST["wan"]
    host = {"name": "WANSRV", "users": wan["users"], "groups": []}
    state = os.path.join(LAB, "hosts", "WANSRV")
    conf = member_conf("WANSRV", "127.0.0.1", state)
    with open(conf, "a") as f:
        f.write("max smbd processes = 0\n")
    unix_accounts("rmlab-wan", host)
    provision_accounts("rmlab-wan", conf, state, host)
    start_member(host, "rmlab-wan", conf)
    relay = os.path.join(LAB, "relay")
    sh("cc", "-O2", "-o", relay, os.path.join(HERE, "relay.c"))
    addresses = os.path.join(LAB, "wan-addresses")
    with open(addresses, "w") as f:
        f.write("".join(a + "\n" for _, a in wan_hosts()))
    wait_for_port_in("rmlab-wan", "127.0.0.1", 445, 30)
    subprocess.Popen(["ip", "netns", "exec", "rmlab-wan", relay, addresses, "445", "127.0.0.1", "445",
                      str(wan["delayMs"]), os.path.join(LAB, "relay.status")],
                     stdout=subprocess.DEVNULL, stderr=open(os.path.join(LAB, "relay.log"), "w"),
                     start_new_session=True)


ROGUE_INDEX = 90  # its veth pair's number, clear of the members'


def build_rogue():
    """A host outside the domain that claims what it can: the master browser
    of its workgroup, and a domain controller (an old-style one, so its
    announcement carries the controller bit). It records every session
    set-up it receives."""
    rogue = MANIFEST["rogue"]
    ns = "rmlab-rogue"
    add_host_namespace(ns, [rogue["address"]], ROGUE_INDEX)
    netns_exec(ns, "sysctl", "-q", "-w", "net.ipv4.icmp_echo_ignore_all=1")
    state = os.path.join(LAB, "hosts", rogue["name"])
    for d in ("private", "lock", "state", "cache", "pid", "ncalrpc", "log"):
        os.makedirs(os.path.join(state, d), exist_ok=True)
    lines = [
        "[global]",
        "netbios name = %s" % rogue["name"],
        "workgroup = %s" % rogue["workgroup"],
        "server role = classic primary domain controller",
        "passdb backend = tdbsam:%s/private/passdb.tdb" % state,
        "interfaces = %s/%d" % (rogue["address"], PREFIX), "bind interfaces only = yes",
        "smb ports = 445 139", "server min protocol = NT1", "disable netbios = no",
        "local master = yes", "preferred master = yes", "os level = 65", "domain master = yes",
        "load printers = no", "printing = bsd", "printcap name = /dev/null", "disable spoolss = yes",
        "log level = 1 auth_audit:3", "log file = %s/log/auth.log" % state, "max log size = 0",
    ] + ["%s = %s/%s" % (k, state, d) for k, d in (
        ("private dir", "private"), ("lock directory", "lock"), ("state directory", "state"),
        ("cache directory", "cache"), ("pid directory", "pid"), ("ncalrpc dir", "ncalrpc"))]
    conf = os.path.join(state, "smb.conf")
    with open(conf, "w") as f:
        f.write("\n".join(lines) + "\n")
    start_daemon(ns, state, "smbd", "-D", "-s", conf, env=STANDALONE_ENV)
    start_daemon(ns, state, "nmbd", "-D", "-s", conf, env=STANDALONE_ENV)


# The controller's DNS forwarder listens beside it.
FORWARDER_PORT = 5353


def build_blackhole():
    address = MANIFEST["blackhole"]["address"]
    log_file = open(os.path.join(LAB, "blackhole.log"), "w")
    subprocess.Popen(["ip", "netns", "exec", "rmlab-blackhole", sys.executable,
                      os.path.join(HERE, "blackhole.py"), address],
                     stdout=log_file, stderr=subprocess.STDOUT, start_new_session=True)


def controller_paths(dc):
    """The folders the controller would otherwise take from the machine's own
    Samba folders. Not winbindd's socket folder: the winbind client in smbd
    knows only the built-in one, which start_daemon covers instead."""
    os.makedirs(os.path.join(dc, "run"), exist_ok=True)
    os.makedirs(os.path.join(dc, "log"), exist_ok=True)
    return [("pid directory", os.path.join(dc, "run")),
            ("ncalrpc dir", os.path.join(dc, "run", "ncalrpc")),
            ("ntp signd socket directory", os.path.join(dc, "run", "ntp_signd")),
            ("lock directory", os.path.join(dc, "lock")),
            ("state directory", os.path.join(dc, "state")),
            ("cache directory", os.path.join(dc, "cache")),
            ("private dir", os.path.join(dc, "private")),
            ("binddns dir", os.path.join(dc, "bind-dns")),
            ("usershare path", os.path.join(dc, "usershares")),
            ("log file", os.path.join(dc, "log", "samba.log"))]


def build_controller():
    d = MANIFEST["domain"]
    dc = os.path.join(LAB, "dc")
    address = d["controller"]["address"]
    sh("samba-tool", "domain", "provision", "--targetdir=" + dc, "--realm=" + d["realm"],
       "--domain=" + d["netbios"], "--server-role=dc", "--dns-backend=SAMBA_INTERNAL",
       "--use-rfc2307", "--host-name=" + d["controller"]["name"], "--host-ip=" + address,
       "--adminpass=" + d["adminPassword"],
       "--option=interfaces=%s/%d" % (address, PREFIX), "--option=bind interfaces only = yes",
       # A forwarder that knows no name: forwarding to itself loops on every
       # name it does not know, and one nobody answers makes such a name
       # cost the resolver's time-outs.
       "--option=dns forwarder = %s:%d" % (address, FORWARDER_PORT),
       *["--option=%s = %s" % (option, path) for option, path in controller_paths(dc)])
    conf = os.path.join(dc, "etc", "smb.conf")
    subprocess.Popen(["ip", "netns", "exec", "rmlab-dc", sys.executable, os.path.join(HERE, "nxdomain.py"),
                      address, str(FORWARDER_PORT)],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    start_daemon("rmlab-dc", dc, "samba", "-s", conf)
    sam = os.path.join(dc, "private", "sam.ldb")
    wait_for_port(address, 389, 60)
    op = MANIFEST["operator"]
    sh("samba-tool", "user", "create", op["user"], op["password"], "-H", sam, "-s", conf)
    sh("samba-tool", "group", "addmembers", "Domain Admins", op["user"], "-H", sam, "-s", conf)
    for name in d["machineAccounts"]:
        sh("samba-tool", "computer", "add", name, "-H", sam, "-s", conf)
    populate_directory(sam, conf)
    add_dns_records(dc, conf)
    with open(os.path.join(dc, "private", "krb5.conf")) as src:
        krb5 = src.read().replace("[libdefaults]", "[libdefaults]\n\trdns = false\n\tdns_canonicalize_hostname = false", 1)
    with open(os.path.join(LAB, "krb5.conf"), "w") as f:
        f.write(krb5)


def add_dns_records(dc, conf):
    """The names only DNS knows, written into the controller's directory at once."""
    records = "".join("%s %s\n" % (name.lower(), address) for name, address in dns_only_hosts())
    netns_exec("rmlab-dc", *covered(dc, [sys.executable, os.path.join(HERE, "dns-records.py"), conf,
                                         os.path.join(dc, "private", "sam.ldb"), MANIFEST["domain"]["dnsName"]]),
               input=records)


def directory_computers():
    """Every computer object the manifest describes, generated ones included,
    as (name, unit path, attributes, made by the provisioning or a join)."""
    d = MANIFEST["domain"]["directory"]
    attributes = ("operatingSystem", "operatingSystemServicePack", "operatingSystemVersion")
    for c in d["computers"]:
        made = c.get("provisioned", False) or c.get("joined", False)
        yield c["name"], c.get("ou", ""), {a: c[a] for a in attributes if a in c}, made
    for g in d["generated"]:
        for i in range(g["count"]):
            yield "%s%03d" % (g["namePrefix"], i + 1), g.get("ou", ""), {a: g[a] for a in attributes if a in g}, False


def populate_directory(sam, conf):
    """The directory's units and computer objects, added in one transaction
    straight into the controller's database (one samba-tool call per object
    would take minutes). Machine accounts made before only gain attributes."""
    import ldb
    from samba.auth import system_session
    from samba.param import LoadParm
    from samba.samdb import SamDB
    lp = LoadParm()
    lp.load(conf)
    samdb = SamDB(url=sam, session_info=system_session(), lp=lp)
    root = str(samdb.domain_dn())
    dn_of = lambda path: ",".join(["OU=%s" % u for u in reversed(path.split("/"))] + [root])
    existing = set(MANIFEST["domain"]["machineAccounts"])
    started, count = time.time(), 0
    samdb.transaction_start()
    try:
        units = MANIFEST["domain"]["directory"]["orgUnits"] + [m["ou"] for m in MANIFEST["joinedMembers"]]
        for path in sorted(set(units), key=units.index):
            samdb.add({"dn": dn_of(path), "objectClass": "organizationalUnit"})
        for name, path, attributes, provisioned in directory_computers():
            if provisioned:
                continue
            if name in existing:
                if attributes:
                    m = ldb.Message(ldb.Dn(samdb, "CN=%s,CN=Computers,%s" % (name, root)))
                    for a, v in attributes.items():
                        m[a] = ldb.MessageElement(v, ldb.FLAG_MOD_REPLACE, a)
                    samdb.modify(m)
                continue
            container = dn_of(path) if path else "CN=Computers," + root
            samdb.add(dict({"dn": "CN=%s,%s" % (name, container), "objectClass": "computer",
                            "sAMAccountName": name + "$", "userAccountControl": "4096"}, **attributes))
            count += 1
        samdb.transaction_commit()
        log("directory: %d computer objects added in %.1f s" % (count, time.time() - started))
    except Exception:
        samdb.transaction_cancel()
        raise


def wait_for_port(address, port, seconds):
    wait_for_port_in(CLIENT, address, port, seconds)


def wait_for_port_in(ns, address, port, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        r = subprocess.run(["ip", "netns", "exec", ns, sys.executable, "-c",
                            "import socket,sys; s=socket.create_connection((sys.argv[1], int(sys.argv[2])), 1)",
                            address, str(port)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode == 0:
            return
        time.sleep(0.5)
    raise RuntimeError("%s:%d did not open" % (address, port))


# --- commands ----------------------------------------------------------------

def down():
    """Ends every lab process, removes every namespace, mount and file the
    lab made, and leaves the machine as lab/up found it."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        pids = [int(pid) for ns in namespaces() for pid in sh("ip", "netns", "pids", ns, check=False).split()]
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        # They are not this process's children: wait until they are gone.
        deadline = time.time() + 5
        while time.time() < deadline and any(os.path.exists("/proc/%d" % pid) for pid in pids):
            time.sleep(0.05)
    for ns in namespaces():
        sh("ip", "netns", "delete", ns, check=False)
    for entry in os.listdir("/etc/netns") if os.path.isdir("/etc/netns") else []:
        if entry.startswith("rmlab-"):
            shutil.rmtree(os.path.join("/etc/netns", entry), ignore_errors=True)
    made = read_made()
    if "etc-netns" in made and os.path.isdir("/etc/netns") and not os.listdir("/etc/netns"):
        os.rmdir("/etc/netns")
    if "run-netns" in made and not namespaces_of_anyone():
        subprocess.run(["umount", "/run/netns"], stderr=subprocess.DEVNULL)
        if "run-netns-dir" in made:
            try:
                os.rmdir("/run/netns")
            except OSError:
                pass
    shutil.rmtree(LAB, ignore_errors=True)


# What lab/up made on the machine besides its folder, so lab/down can undo it.
MADE = os.path.join(LAB, "made")


def read_made():
    try:
        return set(open(MADE).read().split())
    except FileNotFoundError:
        return set()


def note_made(*things):
    with open(MADE, "a") as f:
        f.write("".join(t + "\n" for t in things))


def namespaces_of_anyone():
    return sh("ip", "netns", "list", check=False).split()


def is_mount_point(path):
    return any(line.split()[4] == path for line in open("/proc/self/mountinfo"))


def note_what_up_makes():
    """Before the first namespace: what of /etc/netns and /run/netns exists."""
    if not os.path.isdir("/etc/netns"):
        note_made("etc-netns")
    if not os.path.isdir("/run/netns"):
        note_made("run-netns-dir")
    if not is_mount_point("/run/netns"):
        note_made("run-netns")


def host_namespaces():
    return (["rmlab-dc", "rmlab-blackhole", "rmlab-load", "rmlab-wan"]
            + ["rmlab-" + m["name"].lower() for m in MANIFEST["members"] + MANIFEST["joinedMembers"]])


def is_up(hosts=None):
    """Built, and every host still has its servers (a reboot or the end of a
    session leaves the namespaces but ends the processes)."""
    if not os.path.exists(os.path.join(LAB, "ready")) or CLIENT not in namespaces():
        return False
    hosts = host_namespaces() + ["rmlab-rogue"] if hosts is None else hosts
    return all(sh("ip", "netns", "pids", ns, check=False).split() for ns in hosts)


def add_what_is_missing():
    """What this lab.py adds that a lab built by an older one lacks: the
    client users, the DNS-only names and the rogue host. Only ever adds."""
    if "rmlab-rogue" not in namespaces():
        rogue = MANIFEST["rogue"]
        with open("/etc/netns/%s/hosts" % CLIENT, "a") as f:
            f.write("%s %s.%s %s\n" % (rogue["address"], rogue["name"].lower(), MANIFEST["domain"]["dnsName"],
                                       rogue["name"]))
        build_rogue()
    users = MANIFEST["clientUsers"]
    passwd = "/etc/netns/%s/passwd" % CLIENT
    if not os.path.exists(passwd) or ("\n%s:" % users["pinger"]) not in "\n" + open(passwd).read():
        build_client_accounts()
    dc = os.path.join(LAB, "dc")
    add_dns_records(dc, os.path.join(dc, "etc", "smb.conf"))


def up():
    if is_up(host_namespaces()):
        add_what_is_missing()
        log("already up")
        return
    down()
    os.makedirs(LAB)
    note_what_up_makes()
    started = time.time()
    build_network()
    build_controller()
    for m in MANIFEST["members"]:
        build_member(m)
    deleted = {m["name"]: build_joined_member(m) for m in MANIFEST["joinedMembers"]}
    # The SIDs the deleted accounts had, which only the lab knows.
    with open(os.path.join(LAB, "deleted-members.json"), "w") as f:
        json.dump(deleted, f)
    build_load_group()
    build_wan_group()
    build_blackhole()
    build_rogue()
    for m in MANIFEST["members"] + MANIFEST["joinedMembers"]:
        wait_for_port(m["address"], 445, 30)
    wait_for_port(MANIFEST["blackhole"]["address"], 445, 30)
    wait_for_port(load_hosts()[0][1], 445, 30)
    wait_for_port(wan_hosts()[-1][1], 445, 30)
    with open(os.path.join(LAB, "ready"), "w") as f:
        f.write("%.1f\n" % (time.time() - started))
    log("up in %.1f s" % (time.time() - started))


def run(cmd):
    env = dict(os.environ,
               RMLAB_MANIFEST=os.path.join(HERE, "manifest.json"),
               RMLAB_DIR=LAB,
               KRB5_CONFIG=os.path.join(LAB, "krb5.conf"),
               KRB5CCNAME="FILE:" + os.path.join(LAB, "ccache"))
    # Samba's client tools and libraries keep caches in the machine's folders.
    os.execvpe("ip", ["ip", "netns", "exec", CLIENT] + covered(os.path.join(LAB, "client"), cmd), env)


def main():
    if os.geteuid() != 0:
        sys.exit("lab: needs root (network namespaces)")
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    verb = sys.argv[1]
    if verb == "up":
        up()
    elif verb == "down":
        down()
    elif verb == "run":
        if not is_up():
            sys.exit("lab: not up (lab/up)")
        run(sys.argv[2:])
    elif verb == "status":
        print("up" if is_up() else "down")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
