#!/usr/bin/env bash
# Runs a test program with a small disk that fills up, as Wine drive Q: (a tmpfs of 160 KiB
# mounted for the run). Where nothing can be mounted (no privilege), the program runs without
# the drive and its full-disk tests say that they were skipped.
#   full_disk.sh MOUNT_POINT WINEPREFIX PROGRAM [ARGS...]
set -u
mnt=$1 prefix=$2
shift 2
mkdir -p "$mnt" "$prefix/dosdevices"
mounted=
if mount -t tmpfs -o size=160k qp-full-disk "$mnt" 2>/dev/null; then
  mounted=1
  ln -sfn "$mnt" "$prefix/dosdevices/q:"
  export QP_FULL_DISK=Q:
else
  echo "full_disk: cannot mount a tmpfs here; the full-disk tests skip" >&2
fi
"$@"
rc=$?
if [ -n "$mounted" ]; then
  rm -f "$prefix/dosdevices/q:"
  umount "$mnt" || umount -l "$mnt"
fi
exit $rc
