# Sourced by the scripts: a full-system emulated Debian machine, for the shipped 32-bit build's
# Wine tests on a host whose kernel runs no 32-bit code. Its own kernel runs it: the machine is
# a debootstrap of this host's release with 32-bit Wine, booted by qemu-system-x86_64 (software
# emulation where the host offers no KVM), with the project's folder shared into it at the same
# path, so that a build tree made here runs there unchanged.
# shellcheck source=host.sh
. "$(dirname "${BASH_SOURCE[0]}")/host.sh"

vm_dir="$host_root/build/vm"
# What the machine holds besides Debian's minimal base: its kernel, Wine for both builds, a
# display, the fonts the tests draw with, CTest, and the Japanese locale's definitions.
vm_packages=(
  linux-image-amd64 kmod wine wine64 wine32:i386 xvfb fonts-ipafont-gothic fonts-wine cmake
  locales
)

# Says which of the commands a step needs are missing, before it starts.
# Usage: vm_require WHAT COMMAND...
vm_require() {
  local what=$1 missing=()
  shift
  for command in "$@"; do
    command -v "$command" >/dev/null 2>&1 || missing+=("$command")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "FAILED: $what needs ${missing[*]}, not found (scripts/setup.sh installs them)" >&2
  return 1
}

# The disk image, made again only when the way of making it or its package list has changed:
# debootstrap, the i386 architecture and the packages from Debian's archive, the Japanese
# locale, the machine's start-up (vm_init), then mkfs.ext4 -d. Needs root. In a subshell of its
# own, whose exit, however it comes, takes down what it mounted.
vm_image() {
  local stamp
  stamp=$({ declare -f vm_image vm_make_image vm_init; printf '%s\n' "${vm_packages[@]}"; } |
    sha256sum | cut -c1-16)
  [ -s "$vm_dir/disk.img" ] && [ "$(cat "$vm_dir/stamp" 2>/dev/null)" = "$stamp" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "FAILED: making the VM's disk image needs root (debootstrap, chroot)" >&2
    return 1
  fi
  vm_require "making the VM's disk image" debootstrap chroot mkfs.ext4 sha256sum || return 1
  (
    trap 'umount "$vm_dir/root/proc" 2>/dev/null' EXIT
    trap 'exit 1' INT TERM HUP
    vm_make_image "$stamp"
  )
}

# Usage: vm_make_image STAMP
vm_make_image() {
  local root mirror
  root="$vm_dir/root"
  mirror=$(sed -n 's/^URIs: *//p; s/^deb \(http[^ ]*\) .*/\1/p' /etc/apt/sources.list.d/*.sources \
    /etc/apt/sources.list 2>/dev/null | grep -v security | head -n 1)
  # Never a removal through a mount that an interrupted run left behind.
  umount "$root/proc" 2>/dev/null
  rm -rf --one-file-system "$vm_dir" && mkdir -p "$vm_dir" || return 1
  # shellcheck disable=SC1091
  host_step "debootstrap of Debian $(. /etc/os-release && echo "$VERSION_CODENAME") for the VM" \
    debootstrap --variant=minbase "$(. /etc/os-release && echo "$VERSION_CODENAME")" "$root" \
    "${mirror:-http://deb.debian.org/debian}" || return 1
  # The host's package sources, security updates among them, so that both run the same Wine.
  if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
    # shellcheck disable=SC2016 # the inner shell expands them
    host_step "the host's package sources for the VM" \
      sh -c 'cp /etc/apt/sources.list.d/*.sources "$1/etc/apt/sources.list.d/" &&
        : >"$1/etc/apt/sources.list"' sh "$root" || return 1
  fi
  host_step "mounting /proc for the VM's packages" mount -t proc proc "$root/proc" || return 1
  host_step "the VM's packages" chroot "$root" sh -c "
      dpkg --add-architecture i386 &&
      { apt-get update || apt-get update; } &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${vm_packages[*]} &&
      apt-get clean &&
      localedef -i ja_JP -f UTF-8 ja_JP.UTF-8" || return 1
  host_step "unmounting the VM's /proc" umount "$root/proc" || return 1
  if ! vm_init >"$root/kv-init" || ! chmod +x "$root/kv-init" || ! sh -n "$root/kv-init"; then
    echo "FAILED: writing the VM's start-up script" >&2
    return 1
  fi
  # shellcheck disable=SC2016 # the inner shell expands them
  host_step "the VM's kernel" sh -c 'cp "$1"/boot/vmlinuz-* "$2/vmlinuz" &&
    cp "$1"/boot/initrd.img-* "$2/initrd.img"' sh "$root" "$vm_dir" || return 1
  local size
  size=$(($(du -sm "$root" | cut -f1) + 512)) || return 1
  host_step "making the VM's disk image" mkfs.ext4 -q -F -L quorin-vm -d "$root" \
    "$vm_dir/disk.img" "${size}M" || return 1
  rm -rf --one-file-system "$root" && echo "$1" >"$vm_dir/stamp"
}

# The machine's first process: the shares mounted, the job run, the machine off.
vm_init() {
  cat <<'EOF'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm && mount -t devpts devpts /dev/pts && mount -t tmpfs tmpfs /dev/shm
modprobe 9pnet_virtio && modprobe 9p
# The tests' Wine prefixes on a disk of their own: ext4, which keeps Wine's file attributes.
mount /dev/vdb /tmp
job=$(sed -n 's/.*kv\.job=\([^ ]*\).*/\1/p' /proc/cmdline)
project=$(sed -n 's/.*kv\.project=\([^ ]*\).*/\1/p' /proc/cmdline)
if mkdir -p "$project" &&
  mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose project "$project"; then
  HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin bash "$job"
  echo $? >"$job.status"
fi
sync
umount "$project" 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 10
EOF
}

# Boots the machine and runs a shell script of the project's in it; its exit status is the
# script's, or 1 where the machine gave none (it did not boot, or the script could not run).
# Usage: vm_run SCRIPT
vm_run() {
  local job=$1 accel=tcg
  vm_require "the VM" qemu-system-x86_64 truncate mkfs.ext4 timeout || return 1
  case "$host_root$job" in
    *[[:space:]]*)
      echo "FAILED: the VM cannot be given a path with blanks: $host_root" >&2
      return 1
      ;;
  esac
  # A /dev/kvm without the CPU's virtualization flag (a nested guest's) can start the BIOS but
  # hangs the kernel: software emulation there.
  [ -w /dev/kvm ] && grep -qwE 'vmx|svm' /proc/cpuinfo && accel=kvm
  echo "The VM runs with -accel $accel."
  rm -f "$job.status"
  # A fresh disk for what the tests write; the system's disk is only read (a snapshot).
  rm -f "$vm_dir/scratch.img"
  truncate -s 16G "$vm_dir/scratch.img" &&
    mkfs.ext4 -q -F -L quorin-scratch "$vm_dir/scratch.img" || return 1
  # qemu64 with what glibc and Wine expect beside it; "max" would take the guest's kernel down
  # on a return into 32-bit code.
  timeout 5400 qemu-system-x86_64 -accel "$accel" -cpu qemu64,+ssse3,+sse4.1,+sse4.2 -smp 2 \
    -m 6144 -nographic -no-reboot -net none \
    -kernel "$vm_dir/vmlinuz" -initrd "$vm_dir/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet panic=-1 init=/kv-init kv.project=$host_root kv.job=$job" \
    -drive "file=$vm_dir/disk.img,if=virtio,format=raw,snapshot=on" \
    -drive "file=$vm_dir/scratch.img,if=virtio,format=raw" \
    -virtfs "local,path=$host_root,mount_tag=project,security_model=none,id=project" \
    >"$vm_dir/console.log" 2>&1
  rm -f "$vm_dir/scratch.img"
  if [ ! -s "$job.status" ]; then
    echo "FAILED: the VM gave no result; the end of its console:" >&2
    tail -n 20 "$vm_dir/console.log" >&2
    return 1
  fi
  return "$(cat "$job.status")"
}
