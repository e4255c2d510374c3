#!/bin/sh
# Signs a kit's setup.exe with a throw-away certificate for the end-to-end test under Wine, then
# verifies it. Wine starts this Linux program without waiting for it, so it leaves its exit
# status in FILE.status and its output in FILE.log for osslsign.cmd to wait for.
# $1: the Windows path of the file, as qpbc quoted it; Wine passes the quotes on, and the path
# has no blanks.
PATH=/usr/local/bin:/usr/bin:/bin
win=$(printf '%s' "$*" | tr -d '"')
drive=$(printf '%s' "$win" | cut -c1 | tr 'A-Z' 'a-z')
rest=$(printf '%s' "$win" | cut -c3- | tr '\\' '/')
if [ "$drive" = z ]; then file=$rest; else file=$WINEPREFIX/dosdevices/$drive:$rest; fi
keys=$(dirname "$file")/..
{
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=QuillpackerE2E \
      -keyout "$keys/sign-key.pem" -out "$keys/sign-cert.pem" &&
  osslsigncode sign -certs "$keys/sign-cert.pem" -key "$keys/sign-key.pem" -n "Quillpacker e2e" \
      -in "$file" -out "$file.signed" &&
  mv "$file.signed" "$file" &&
  osslsigncode verify -CAfile "$keys/sign-cert.pem" -in "$file"
} > "$file.log" 2>&1
echo $? > "$file.status.tmp"
mv "$file.status.tmp" "$file.status"
