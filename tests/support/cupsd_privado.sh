#!/bin/sh
# A print server of the tests' own: cupsd on a free loopback port, with its configuration, spool,
# cache, state and logs in FOLDER, and one queue "PDF" (the cups-pdf driver), the server's default,
# writing each job as a PDF file into FOLDER/pdf.
#
#   cupsd_privado.sh start FOLDER   prints the server's address, 127.0.0.1:PORT, for CUPS_SERVER;
#                                   exits 77, the reason on standard error, where no print server
#                                   can run here
#   cupsd_privado.sh stop FOLDER    stops that server and removes what it left outside FOLDER
#
# The cups-pdf driver reads its settings only from /etc/cups: the queue's device names a settings
# file of its own there ("cups-pdf-<name>.conf", pointing into FOLDER), written at start and
# removed at stop. The driver runs only under a print server started as root.
set -eu

accion=${1:?start o stop}
carpeta=${2:?carpeta}

salta() {
    echo "$1" >&2
    exit 77
}

case $accion in
start)
    [ -x /usr/sbin/cupsd ] || salta "cupsd no instalado (paquete cups)"
    [ -x /usr/lib/cups/backend/cups-pdf ] || salta "cups-pdf no instalado (printer-driver-cups-pdf)"
    [ "$(id -u)" = 0 ] || salta "cups-pdf solo imprime bajo un cupsd iniciado como root"
    [ -w /etc/cups ] || salta "/etc/cups no admite la configuracion de cups-pdf"
    mkdir -p "$carpeta/etc" "$carpeta/spool/tmp" "$carpeta/cache" "$carpeta/state" "$carpeta/log" \
        "$carpeta/pdf" "$carpeta/cups-pdf"
    # The filters run as the server's user (lp): they must reach the spool.
    chmod 755 "$carpeta" "$carpeta/etc" "$carpeta/spool" "$carpeta/cache" "$carpeta/state" \
        "$carpeta/log"
    chmod 1777 "$carpeta/spool/tmp" "$carpeta/pdf" "$carpeta/cups-pdf"
    puerto=$(/usr/bin/python3 -c \
        'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat > "$carpeta/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$puerto
LogLevel warn
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat > "$carpeta/etc/cups-files.conf" <<CONF
ServerRoot $carpeta/etc
RequestRoot $carpeta/spool
TempDir $carpeta/spool/tmp
CacheDir $carpeta/cache
StateDir $carpeta/state
ErrorLog $carpeta/log/error_log
AccessLog $carpeta/log/access_log
PageLog $carpeta/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
CONF
    cola="rptest$puerto"
    cat > "/etc/cups/cups-pdf-$cola.conf" <<CONF
Out $carpeta/pdf
AnonDirName $carpeta/pdf
Spool $carpeta/cups-pdf
Log $carpeta/log
CONF
    echo "$cola" > "$carpeta/cola"
    # Without -f the server returns once it listens.
    if ! /usr/sbin/cupsd -c "$carpeta/etc/cupsd.conf" -s "$carpeta/etc/cups-files.conf"; then
        rm -f "/etc/cups/cups-pdf-$cola.conf"
        salta "cupsd no arranco: $(tail -n 3 "$carpeta/log/error_log" 2>/dev/null)"
    fi
    # It starts again under its own arguments; the folder names it alone.
    pgrep -f -- "$carpeta/etc/cupsd.conf" > "$carpeta/cupsd.pid"
    servidor="127.0.0.1:$puerto"
    lpadmin -h "$servidor" -p PDF -E -v "cups-pdf:/$cola" \
        -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
    # Cairo keeps the text of the pages readable through the PostScript step.
    lpadmin -h "$servidor" -p PDF -o pdftops-renderer-default=pdftocairo
    lpadmin -h "$servidor" -d PDF
    echo "$servidor"
    ;;
stop)
    if [ -f "$carpeta/cupsd.pid" ]; then
        for pid in $(cat "$carpeta/cupsd.pid"); do
            kill "$pid" 2>/dev/null || true
        done
    fi
    if [ -f "$carpeta/cola" ]; then
        rm -f "/etc/cups/cups-pdf-$(cat "$carpeta/cola").conf"
    fi
    ;;
*)
    echo "uso: $0 start|stop CARPETA" >&2
    exit 2
    ;;
esac
