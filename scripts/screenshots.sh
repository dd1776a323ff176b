#!/usr/bin/env bash
# Builds, starts the market-data service with a fixed clock on a free port, creates a sample database with
# vellumar-cli, and writes pictures of the main window into docs/screenshots/: the real program as it starts
# (app-held.png) and, drawn by the snapshot tool over the same folder, the held and sold views and the pop-up
# menus.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j 2 --target vellumar vellumar-cli vellumar-marketd vl_main_window_snapshot \
  vl_market_windows_snapshot

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
# Commands that add something print its id last.
cli_id() { "$work/vellumar-cli" "$@" --db "$work/Vellumar.db" --service "$host" | tail -n 1; }
cli init
cli add-portfolio "Retirement" --comment "long term"
cli add-portfolio "Trading"
cli add-stock Retirement MSFT --qty 100 --price 250.50 --commission 9.95 --date 2023-01-15
cli add-stock Retirement AAPL --qty 50 --price 120 --sell-target 250 --date 2022-06-01
cli add-stock Retirement IBM --qty 80 --price 181.25 --buy-target 150 --stop-loss 170 --date 2021-03-10
cli add-stock Retirement KO --qty 200 --price 61.10 --date 2020-11-02
cli add-stock Retirement XOM --qty 120 --price 118.40 --date 2024-02-20
cli add-stock Retirement ^DJI --qty 1 --price 30000 --date 2023-05-01
cli add-cash Retirement 2500 --comment "Money market"
cli add-margin Retirement 1200 --comment "Broker loan"
intc=$(cli_id add-stock Retirement INTC --qty 300 --price 35.20 --date 2021-08-16)
ge=$(cli_id add-stock Retirement GE --qty 60 --price 95.00 --date 2022-01-03)
disney=$(cli_id add-stock Retirement DIS --qty 40 --price 170.00 --date 2021-02-01)
cli sell "$intc" --qty 300 --price 48.10 --commission 9.95 --date 2024-04-02
cli sell "$ge" --qty 20 --price 160.75 --date 2024-09-12
cli sell "$disney" --qty 40 --price 92.30 --commission 9.95 --date 2023-10-05
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
out="$root/docs/screenshots"
# The real program under a virtual screen, photographed once it has settled.
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c "
  '$work/vellumar' & app=\$!
  sleep 4
  import -window root -crop 1240x640+0+0 '$out/app-held.png'
  kill \$app; wait \$app 2>/dev/null || true"
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tests/ui/vl_main_window_snapshot "$work" "$out"
# The same window at 200%, to check that nothing is clipped when scaled.
mkdir -p "$work/scaled"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2600x1400x24" ./build/tests/ui/vl_main_window_snapshot "$work" "$work/scaled"
cp "$work/scaled/main-held.png" "$out/main-held-200.png"
# The market-data windows with results (also at twice the size, to see that nothing is clipped), and the
# first page of the report printed to PDF.
xvfb-run -a -s "-screen 0 1600x1000x24" ./build/tests/ui/vl_market_windows_snapshot "$work" "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 2400x1600x24" ./build/tests/ui/vl_market_windows_snapshot "$work" "$out" -200
pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$work/report.pdf" "$out/report-page1"
ls -l "$out"
