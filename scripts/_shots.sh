#!/usr/bin/env bash
# Builds, starts the market-data service with a fixed clock on a free port, creates the sample database with
# vellumar-cli init --sample, and writes pictures of the main window into docs/screenshots/: the real program
# as it starts (app-held.png) and, drawn by the snapshot tools over the same folder, the held and sold views,
# the pop-up menus and the dialogs (dialog-*.png).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
true
true
true

work=$(mktemp -d)
service_pid=""
cleanup() {
  if [ -n "$service_pid" ]; then kill "$service_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The service prints the port it chose.
./build/bin/vellumar-marketd --port 0 --now 2026-12-04T15:30:00-05:00 --quiet >"$work/service.out" 2>&1 &
service_pid=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/service.out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the market-data service did not start" >&2; cat "$work/service.out" >&2; exit 1; }
host="localhost:$port"

cp build/bin/vellumar build/bin/vellumar-cli "$work/"
cli() { "$work/vellumar-cli" "$@" --db "$work/Vellumar.db" --service "$host" >/dev/null; }
# The sample a new user starts from: two portfolios with held, partly and wholly sold, cash and margin positions.
cli init --sample
cli update
retirement=$("$work/vellumar-cli" portfolios --db "$work/Vellumar.db" | awk -F'\t' '$3=="Retirement"{print $1}')

cat >"$work/vellumar.ini" <<INI
[General]
DefaultPortfolio=${retirement:-1}
ShowDisclaimer=0
ShowPortfolioSummary=1
XPos=0
YPos=0
Width=1240
Height=640
[Services]
QuoteCsvHost=$host
QuoteWebHost=$host
HistoricalHost=$host
ChartImageHost=$host
ChartHost=$host
AltChartHost=$host
ProductHost=$host
StartLocalService=0
INI
cp "$work/vellumar.ini" "$work/Vellumar.ini"

mkdir -p docs/screenshots
out=/tmp/shots
# The real program under a virtual screen, photographed once it has settled.
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c "
  '$work/vellumar' & app=\$!
  sleep 4
  import -window root -crop 1240x640+0+0 '$out/app-held.png'
  kill \$app; wait \$app 2>/dev/null || true"
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tools/screenshots/vl_main_window_snapshot "$work" "$out"
# The same window at 200%, to check that nothing is clipped when scaled.
mkdir -p "$work/scaled"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2600x1400x24" ./build/tools/screenshots/vl_main_window_snapshot "$work" "$work/scaled"
cp "$work/scaled/main-held.png" "$out/main-held-200.png"
# The market-data windows and the performance window of the sample portfolio with results (also at twice
# the size, to see that nothing is clipped), and the first page of the report printed to PDF.
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tools/screenshots/vl_market_windows_snapshot "$work" "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2400x1600x24" ./build/tools/screenshots/vl_market_windows_snapshot "$work" "$out" -200
pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$work/report.pdf" "$out/report-page1"
# The dialogs: every tab of the position dialog, sell, change symbol, columns, portfolio, select portfolio,
# export and import (a broker's CSV file read through a mapping, one row failing its check)
# and options; once more at twice the scale into a scratch folder, to check that nothing clips there.
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tools/screenshots/vl_dialogs_snapshot "$work" "$out"
mkdir -p "$root/build/screenshots-2x"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 3200x2000x24" ./build/tools/screenshots/vl_dialogs_snapshot "$work" \
  "$root/build/screenshots-2x"
# The Edit menu and the Change History window, after a few changes to a copy of the sample (two undone);
# also at twice the scale into the scratch folder.
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tools/screenshots/vl_change_history_snapshot "$work" "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 3200x2000x24" ./build/tools/screenshots/vl_change_history_snapshot "$work" \
  "$root/build/screenshots-2x"
ls -l "$out"
