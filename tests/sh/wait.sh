# Shared by the whole-program shell tests (sourced, not run).
# wait_for SECONDS COMMAND...: runs the command every tenth of a second until
# it succeeds; 1 when it has not within the time.
wait_for() {
    limit=$(($1 * 10)) n=0
    shift
    until "$@"; do
        n=$((n + 1))
        [ $n -ge $limit ] && return 1
        sleep 0.1
    done
}
