#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the default study from end to end
# in the study folder "study/": an 80 kV spectrum with 2.5 mm Al from X-TUBEX,
# the front end's default geometry at 30 degrees (FID 100 cm, FSD 55 cm, field
# 20 cm, couch 1.5 cm), 10^7 photons, the result file "default.ddat" and its
# picture "default.png". With a display, Velmora then opens on that folder.
#
#   PHOTONS=1.00E+09 bash tools/run-default-study.sh   # the front end's default count
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/install-dependencies.sh"
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_BUILD_TESTS=OFF
cmake --build "$top/build" -j "$(nproc)"
bin="$top/build/bin"

study="$top/study"
mkdir -p "$study"
cp "$top"/data/Water.mix "$top"/data/Water.xfs "$top"/data/Mus-XP.dat "$study/"
cd "$study"

"$bin/X-TUBEX" --kv 80 --al 2.5 --output B_TUBEX.dat
# Phantom.dat as the launch dialog writes it: Shift_JIS text, CR LF.
printf '30.0\r\n100.0\r\n55.0\r\n20.0\r\n1.5\r\n%s\r\ndefault.ddat\r\n' "${PHOTONS:-1.00E+07}" > Phantom.dat

"$bin/velmc" < /dev/null
"$bin/velmora-dose-png" default.ddat default.png
echo
echo "Result: $study/default.ddat"
echo "Picture: $study/default.png"

if [ -n "${DISPLAY:-}" ]; then
  echo "Opening Velmora in $study"
  "$bin/Velmora" &
else
  echo "No display: start Velmora later from $study with $bin/Velmora"
fi
