#!/usr/bin/env bash
# Lists every include that points up the stack of folders (base < reader, calc < app < win, cli);
# prints nothing and exits 0 when there is none.
cd "$(dirname "$0")/.." || exit 1
rank() { case $1 in base) echo 0 ;; reader | calc) echo 1 ;; app) echo 2 ;; win | cli) echo 3 ;; *) echo -1 ;; esac; }
status=0
while IFS=: read -r file _ target; do
    from=${file%%/*} to=${target%%/*}
    rf=$(rank "$from") rt=$(rank "$to")
    if [ "$rf" -ge 0 ] && [ "$rt" -ge 0 ] && [ "$from" != "$to" ] && [ "$rt" -ge "$rf" ]; then
        echo "$file includes $target"
        status=1
    fi
done < <(grep -rHo --include='*.cpp' --include='*.h' '^#include "[a-z_]*/[^"]*"' base reader calc app win cli 2>/dev/null |
    sed -E 's/#include "([^"]*)"/\1/')
exit $status
