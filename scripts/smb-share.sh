#!/bin/sh
# A Samba file server on this machine with two office PCs on its share, for
# the tests that keep their working folders on a file server.
#   sh scripts/smb-share.sh start DIR   starts smbd on 127.0.0.1 only, with its
#       configuration, locks, state and log in DIR and the share over
#       DIR/share; mounts the share twice with smbnetfs (FUSE), each mount
#       with its own home (DIR/homeA, DIR/homeB), as two PCs; waits until a
#       file written through one mount is read through the other; prints the
#       share's folder as each PC sees it, DIR/pcA then DIR/pcB (bind mounts
#       of DIR/mntA/127.0.0.1:4455/kiboru and the same in mntB: a Windows
#       path holds no ":", and a link would not be the folder's own path).
#   sh scripts/smb-share.sh stop DIR    unmounts both and stops smbd; never fails.
#   sh scripts/smb-share.sh run DIR COMMAND...   start, then COMMAND with
#       KIBORU_TEST_ROOT and KIBORU_TEST_ROOT_B naming the two folders, then
#       stop (also when COMMAND fails or is interrupted); exits with COMMAND's
#       code and tells how long it took.
# Where this machine cannot serve the share (not root: smbd runs as root;
# samba or smbnetfs not installed; no FUSE; the port taken; the server or a
# mount not answering), start stops what it began, writes the reason on
# stderr and exits with 77, and run says it skipped and exits 0.
# Kernel CIFS mounts are not used: containers do not allow them. The server
# listens on port 4455, not 445: installing samba starts the system's own
# server on 445 where systemd runs.
dir=$2
port=4455
user=root
skip=77

say() { echo "smb-share: $*" >&2; }
cannot() { say "cannot serve the share: $*"; stop_share; exit $skip; }
mount_point() { echo "$dir/mnt$1"; }
share_root() { echo "$dir/pc$1"; }

why_not() {
  [ "$(id -u)" -eq 0 ] || { echo "not root (smbd runs as root)"; return; }
  for tool in smbd smbpasswd smbnetfs fusermount3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed (packages samba, smbnetfs, fuse3)"; return; }
  done
  [ -c /dev/fuse ] && [ -r /dev/fuse ] && [ -w /dev/fuse ] || { echo "/dev/fuse cannot be opened"; return; }
  if command -v ss >/dev/null 2>&1 && [ -n "$(ss -Hltn "sport = :$port")" ]; then
    echo "port $port is taken: $(ss -Hltnp "sport = :$port" | head -1)"
  fi
}

write_server_config() {
  mkdir -p "$dir/share" "$dir/lock" "$dir/state" "$dir/cache" "$dir/private" "$dir/log" "$dir/run"
  cat >"$dir/smb.conf" <<EOF
[global]
  netbios name = KIBORUTEST
  workgroup = WORKGROUP
  interfaces = 127.0.0.1
  bind interfaces only = yes
  smb ports = $port
  disable netbios = yes
  lock directory = $dir/lock
  state directory = $dir/state
  cache directory = $dir/cache
  private dir = $dir/private
  pid directory = $dir/run
  ncalrpc dir = $dir/run/ncalrpc
  log file = $dir/log/smbd.log
  passdb backend = tdbsam:$dir/private/passdb.tdb
  server role = standalone server
  map to guest = never
  load printers = no
  printcap name = /dev/null
  disable spoolss = yes
  server min protocol = SMB2
[kiboru]
  path = $dir/share
  read only = no
  force user = $user
EOF
}

# One PC: its home with the client's configuration (the password file of
# mode 600, as smbnetfs asks) and its mount. The mount keeps no names or
# attributes (FUSE's timeouts 0): otherwise it would show a file's old size
# for a second after the other PC replaced it, where a Windows PC, told by
# the server, sees the change at once.
mount_pc() {
  home="$dir/home$1"
  mkdir -p "$home/.smb" "$(mount_point "$1")"
  printf '[global]\n  client min protocol = SMB2\n  unix charset = utf-8\n' >"$home/.smb/smb.conf"
  (umask 077 && cat >"$home/.smb/smbnetfs.conf" <<EOF
auth "127.0.0.1" "$user" "$password"
smb_query_browsers "false"
local_charset "UTF-8"
samba_charset "utf-8"
EOF
  )
  HOME="$home" smbnetfs "$(mount_point "$1")" -f -o log_file="$dir/log/smbnetfs-$1.log" \
    -o attr_timeout=0,entry_timeout=0,negative_timeout=0 </dev/null >>"$dir/log/smbnetfs-$1.log" 2>&1 &
  echo $! >"$dir/run/smbnetfs-$1.pid"
  for _ in $(seq 50); do
    mountpoint -q "$(mount_point "$1")" && break
    sleep 0.1
  done
  mountpoint -q "$(mount_point "$1")" || cannot "smbnetfs did not mount $(mount_point "$1") ($(tail -n 2 "$dir/log/smbnetfs-$1.log" | tr '\n' ' '))"
  mkdir -p "$(share_root "$1")"
  wait_for_share "$1"
  mount --bind "$(mount_point "$1")/127.0.0.1:$port/kiboru" "$(share_root "$1")" \
    || cannot "the share's folder in $(mount_point "$1") cannot be bound to $(share_root "$1")"
}

# The first look into a new mount may fail with an I/O error: tries for 15 s
# until the share's folder lists.
wait_for_share() {
  until=$(( $(date +%s) + 15 ))
  while [ "$(date +%s)" -lt "$until" ]; do
    timeout 5 ls "$(mount_point "$1")/127.0.0.1:$port/kiboru" >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  cannot "the share did not answer through $(mount_point "$1") in 15 s ($(tail -n 3 "$dir/log/smbd.log" 2>/dev/null | tr '\n' ' '))"
}

# A file written through A is read through B.
check_shared() {
  probe="$(share_root A)/.smb-share-probe-$$"
  echo "$password" 2>/dev/null >"$probe" \
    && [ "$(cat "$(share_root B)/.smb-share-probe-$$" 2>/dev/null)" = "$password" ] \
    || cannot "a file written through $(share_root A) is not read through $(share_root B)"
  rm -f "$probe"
}

start_share() {
  stop_share
  reason=$(why_not)
  [ -z "$reason" ] || { say "cannot serve the share: $reason"; exit $skip; }
  (cd "$dir" 2>/dev/null && rm -rf share lock state cache private log run homeA homeB smb.conf)
  for pc in A B; do
    mountpoint -q "$(mount_point $pc)" 2>/dev/null || rm -rf "$(mount_point $pc)"
    mountpoint -q "$(share_root $pc)" 2>/dev/null || rm -rf "$(share_root $pc)"
  done
  write_server_config
  password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
  printf '%s\n%s\n' "$password" "$password" | smbpasswd -c "$dir/smb.conf" -s -a "$user" >/dev/null \
    || cannot "smbpasswd failed"
  smbd -s "$dir/smb.conf" -D || cannot "smbd did not start ($(tail -n 3 "$dir/log/smbd.log" 2>/dev/null | tr '\n' ' '))"
  mount_pc A
  mount_pc B
  check_shared
  share_root A
  share_root B
}

stop_share() {
  [ -n "$dir" ] || return 0
  for pc in A B; do
    if mountpoint -q "$(share_root $pc)" 2>/dev/null; then
      umount "$(share_root $pc)" 2>/dev/null || umount -l "$(share_root $pc)" 2>/dev/null
    fi
    if mountpoint -q "$(mount_point $pc)" 2>/dev/null; then
      fusermount3 -u "$(mount_point $pc)" 2>/dev/null || fusermount3 -u -z "$(mount_point $pc)" 2>/dev/null
    fi
    end_process "$dir/run/smbnetfs-$pc.pid"
  done
  end_process "$dir/run/smbd.pid" ask
  return 0
}

# Waits up to 5 s for the process whose number the file holds to end (asked
# to with "ask"; smbnetfs ends with its mount), then kills it. One that has
# ended but is not yet collected ("Z") has ended.
end_process() {
  pid=$(cat "$1" 2>/dev/null)
  rm -f "$1"
  [ -n "$pid" ] || return 0
  [ "$2" = ask ] && kill "$pid" 2>/dev/null
  for _ in $(seq 50); do
    case "$(ps -o stat= -p "$pid" 2>/dev/null)" in "" | Z*) return 0 ;; esac
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null
}

run_over_share() {
  began=$(date +%s)
  roots=$(start_share) || { say "skipped"; exit 0; }
  trap 'stop_share' EXIT
  trap 'exit 130' INT TERM
  say "the share is $(echo "$roots" | head -1) (PC A) and $(echo "$roots" | tail -1) (PC B)"
  code=0
  KIBORU_TEST_ROOT=$(echo "$roots" | head -1) KIBORU_TEST_ROOT_B=$(echo "$roots" | tail -1) "$@" || code=$?
  stop_share
  trap - EXIT
  say "took $(( $(date +%s) - began )) s, share started and stopped included"
  exit $code
}

[ -n "$dir" ] || { echo "usage: $0 start|stop DIR, or $0 run DIR COMMAND..." >&2; exit 2; }
case "$dir" in /*) ;; *) dir="$(pwd)/$dir" ;; esac
case "$1" in
  start) start_share ;;
  stop) stop_share ;;
  run) shift 2; run_over_share "$@" ;;
  *) echo "usage: $0 start|stop DIR, or $0 run DIR COMMAND..." >&2; exit 2 ;;
esac
