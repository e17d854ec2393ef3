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


def namespaces():
    out = sh("ip", "netns", "list", check=False)
    return [line.split()[0] for line in out.splitlines() if line.startswith("rmlab-")]


def load_hosts():
    load = MANIFEST["load"]
    first = ipaddress.ip_address(load["firstAddress"])
    return [("%s%03d" % (load["namePrefix"], i + 1), str(first + i)) for i in range(load["count"])]


def all_names():
    """Every name the client resolves, with its address."""
    d = MANIFEST["domain"]
    names = [(d["controller"]["name"], d["controller"]["address"])]
    names += [(m["name"], m["address"]) for m in MANIFEST["members"]]
    names += [(MANIFEST["offline"]["name"], MANIFEST["offline"]["address"]),
              (MANIFEST["blackhole"]["name"], MANIFEST["blackhole"]["address"])]
    return names + load_hosts()


# --- network ---------------------------------------------------------------

def add_host_namespace(ns, addresses, index):
    sh("ip", "netns", "add", ns)
    host_if, peer_if = "rmh%d" % index, "rmp%d" % index
    sh("ip", "link", "add", host_if, "netns", ns, "type", "veth", "peer", "name", peer_if, "netns", CLIENT)
    netns_exec(ns, "ip", "link", "set", "lo", "up")
    netns_exec(ns, "ip", "link", "set", host_if, "name", "eth0")
    for a in addresses:
        netns_exec(ns, "ip", "addr", "add", "%s/%d" % (a, PREFIX), "dev", "eth0")
    netns_exec(ns, "ip", "link", "set", "eth0", "up")
    netns_exec(CLIENT, "ip", "link", "set", peer_if, "master", BRIDGE)
    netns_exec(CLIENT, "ip", "link", "set", peer_if, "up")


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

    etc = "/etc/netns/" + CLIENT
    os.makedirs(etc, exist_ok=True)
    with open(etc + "/hosts", "w") as f:
        f.write("127.0.0.1 localhost\n")
        dns = MANIFEST["domain"]["dnsName"]
        for name, address in all_names():
            f.write("%s %s.%s %s\n" % (address, name.lower(), dns, name))
    with open(etc + "/resolv.conf", "w") as f:
        f.write("nameserver %s\nsearch %s\n" % (MANIFEST["domain"]["controller"]["address"], dns))


# --- hosts -----------------------------------------------------------------

def ensure_unix_user(name):
    if subprocess.run(["getent", "passwd", name], stdout=subprocess.DEVNULL).returncode != 0:
        sh("useradd", "-M", "-N", "-g", "nogroup", "-s", "/usr/sbin/nologin", name)


def ensure_unix_group(name):
    if subprocess.run(["getent", "group", name], stdout=subprocess.DEVNULL).returncode != 0:
        sh("groupadd", name)


def unix_name(samba_name):
    return "rmlab-" + samba_name.lower().replace(" ", "-")


def member_conf(name, address, state, browse="none", listen_all=False):
    os.makedirs(state, exist_ok=True)
    for d in ("private", "lock", "state", "cache", "pid", "ncalrpc", "log"):
        os.makedirs(os.path.join(state, d), exist_ok=True)
    netbios = browse != "none"
    lines = [
        "[global]",
        "netbios name = %s" % name,
        "workgroup = %s" % MANIFEST["domain"]["netbios"],
        "server role = standalone server",
        "private dir = %s/private" % state,
        "lock directory = %s/lock" % state,
        "state directory = %s/state" % state,
        "cache directory = %s/cache" % state,
        "pid directory = %s/pid" % state,
        "ncalrpc dir = %s/ncalrpc" % state,
        "log file = %s/log/%%m.log" % state,
        "max log size = 2000",
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
    if browse == "master":
        lines += ["local master = yes", "preferred master = yes", "os level = 65", "domain master = no"]
    elif browse == "announce":
        lines += ["local master = no", "os level = 0"]
    conf = os.path.join(state, "smb.conf")
    with open(conf, "w") as f:
        f.write("\n".join(lines) + "\n")
    return conf


def provision_accounts(conf, state, host):
    op = MANIFEST["operator"]
    net = lambda *a: sh("net", "-s", conf, *a, env=STANDALONE_ENV)
    smbpasswd = lambda user, pw: sh("smbpasswd", "-c", conf, "-s", "-a", user, env=STANDALONE_ENV,
                                    input="%s\n%s\n" % (pw, pw))
    # The operator works as root on the member, except where it is refused.
    with open(os.path.join(state, "usermap"), "w") as f:
        if not host.get("refusesOperator"):
            f.write("root = %s\n" % op["user"])
    if host.get("refusesOperator"):
        ensure_unix_user(op["user"])
        smbpasswd(op["user"], op["password"])
        with open(conf, "a") as f:
            f.write("\n[IPC$]\ninvalid users = %s\n" % op["user"])
    else:
        smbpasswd("root", op["password"])
    ensure_unix_group("rmlab-admins")
    net("groupmap", "add", "sid=S-1-5-32-544", "ntgroup=Administrators", "unixgroup=rmlab-admins", "type=builtin")
    for g in host.get("groups", []):
        ensure_unix_group(unix_name(g["name"]))
        net("groupmap", "add", "rid=%d" % g["rid"], "ntgroup=%s" % g["name"],
            "unixgroup=%s" % unix_name(g["name"]), "type=local")
    for u in host["users"]:
        ensure_unix_user(u["name"].lower())
        smbpasswd(u["name"], op["password"])
        if not u["enabled"]:
            sh("smbpasswd", "-c", conf, "-d", u["name"], env=STANDALONE_ENV)
        for g in u["groups"]:
            domain = "BUILTIN" if g == "Administrators" else host["name"]
            net("sam", "addmem", "%s\\%s" % (domain, g), "%s\\%s" % (host["name"], u["name"]))
    # Members that are no local account: added by SID, since nothing here can look them up.
    local_sid = net("getlocalsid").strip().split()[-1]
    for g in host.get("groups", []):
        for sid in g.get("foreignMembers", []):
            net("groupmap", "addmem", "%s-%d" % (local_sid, g["rid"]), sid)


def start_member(host, ns, conf):
    netns_exec(ns, "smbd", "-D", "-s", conf, env=STANDALONE_ENV)
    if host.get("browse", "none") != "none":
        netns_exec(ns, "nmbd", "-D", "-s", conf, env=STANDALONE_ENV)


def build_member(host):
    state = os.path.join(LAB, "hosts", host["name"])
    ns = "rmlab-" + host["name"].lower()
    conf = member_conf(host["name"], host["address"], state, host.get("browse", "none"))
    provision_accounts(conf, state, host)
    start_member(host, ns, conf)


def build_load_group():
    load = MANIFEST["load"]
    host = {"name": "LOADSRV", "users": load["users"], "groups": []}
    state = os.path.join(LAB, "hosts", "LOADSRV")
    conf = member_conf("LOADSRV", None, state, listen_all=True)
    with open(conf, "a") as f:
        f.write("max smbd processes = 0\n")
    provision_accounts(conf, state, host)
    start_member(host, "rmlab-load", conf)


def build_blackhole():
    address = MANIFEST["blackhole"]["address"]
    log_file = open(os.path.join(LAB, "blackhole.log"), "w")
    subprocess.Popen(["ip", "netns", "exec", "rmlab-blackhole", sys.executable,
                      os.path.join(HERE, "blackhole.py"), address],
                     stdout=log_file, stderr=subprocess.STDOUT, start_new_session=True)


def build_controller():
    d = MANIFEST["domain"]
    dc = os.path.join(LAB, "dc")
    address = d["controller"]["address"]
    sh("samba-tool", "domain", "provision", "--targetdir=" + dc, "--realm=" + d["realm"],
       "--domain=" + d["netbios"], "--server-role=dc", "--dns-backend=SAMBA_INTERNAL",
       "--use-rfc2307", "--host-name=" + d["controller"]["name"], "--host-ip=" + address,
       "--adminpass=" + d["adminPassword"],
       "--option=interfaces=%s/%d" % (address, PREFIX), "--option=bind interfaces only = yes",
       "--option=dns forwarder = %s" % address)
    conf = os.path.join(dc, "etc", "smb.conf")
    netns_exec("rmlab-dc", "samba", "-s", conf)
    sam = os.path.join(dc, "private", "sam.ldb")
    wait_for_port(address, 389, 60)
    op = MANIFEST["operator"]
    sh("samba-tool", "user", "create", op["user"], op["password"], "-H", sam, "-s", conf)
    sh("samba-tool", "group", "addmembers", "Domain Admins", op["user"], "-H", sam, "-s", conf)
    for name in d["machineAccounts"]:
        sh("samba-tool", "computer", "add", name, "-H", sam, "-s", conf)
    with open(os.path.join(dc, "private", "krb5.conf")) as src:
        krb5 = src.read().replace("[libdefaults]", "[libdefaults]\n\trdns = false\n\tdns_canonicalize_hostname = false", 1)
    with open(os.path.join(LAB, "krb5.conf"), "w") as f:
        f.write(krb5)


def wait_for_port(address, port, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        r = subprocess.run(["ip", "netns", "exec", CLIENT, sys.executable, "-c",
                            "import socket,sys; s=socket.create_connection((sys.argv[1], int(sys.argv[2])), 1)",
                            address, str(port)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode == 0:
            return
        time.sleep(0.5)
    raise RuntimeError("%s:%d did not open" % (address, port))


# --- commands ----------------------------------------------------------------

def down():
    for ns in namespaces():
        out = sh("ip", "netns", "pids", ns, check=False)
        for pid in out.split():
            try:
                os.kill(int(pid), signal.SIGTERM)
            except (ProcessLookupError, ValueError):
                pass
    time.sleep(0.5)
    for ns in namespaces():
        for pid in sh("ip", "netns", "pids", ns, check=False).split():
            try:
                os.kill(int(pid), signal.SIGKILL)
            except (ProcessLookupError, ValueError):
                pass
        sh("ip", "netns", "delete", ns, check=False)
    shutil.rmtree("/etc/netns/" + CLIENT, ignore_errors=True)
    shutil.rmtree(LAB, ignore_errors=True)


def host_namespaces():
    return ["rmlab-dc", "rmlab-blackhole", "rmlab-load"] + ["rmlab-" + m["name"].lower() for m in MANIFEST["members"]]


def is_up():
    """Built, and every host still has its servers (a reboot or the end of a
    session leaves the namespaces but ends the processes)."""
    if not os.path.exists(os.path.join(LAB, "ready")) or CLIENT not in namespaces():
        return False
    return all(sh("ip", "netns", "pids", ns, check=False).split() for ns in host_namespaces())


def up():
    if is_up():
        log("already up")
        return
    down()
    os.makedirs(LAB)
    started = time.time()
    build_network()
    build_controller()
    for m in MANIFEST["members"]:
        build_member(m)
    build_load_group()
    build_blackhole()
    for m in MANIFEST["members"]:
        wait_for_port(m["address"], 445, 30)
    wait_for_port(MANIFEST["blackhole"]["address"], 445, 30)
    wait_for_port(load_hosts()[0][1], 445, 30)
    with open(os.path.join(LAB, "ready"), "w") as f:
        f.write("%.1f\n" % (time.time() - started))
    log("up in %.1f s" % (time.time() - started))


def run(cmd):
    env = dict(os.environ,
               RMLAB_MANIFEST=os.path.join(HERE, "manifest.json"),
               RMLAB_DIR=LAB,
               KRB5_CONFIG=os.path.join(LAB, "krb5.conf"),
               KRB5CCNAME="FILE:" + os.path.join(LAB, "ccache"))
    os.execvpe("ip", ["ip", "netns", "exec", CLIENT] + cmd, env)


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
