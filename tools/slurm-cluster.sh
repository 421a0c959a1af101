#!/usr/bin/env bash
# A one-node Slurm cluster on this machine, for trying and testing `quarvel batch
# --slurm`: munged, slurmctld and slurmd from the Debian packages slurm-wlm and munge,
# with a generated slurm.conf for localhost. Everything lives in FOLDER (the
# configuration, state, logs, sockets); nothing outside it is touched.
#
#   tools/slurm-cluster.sh start FOLDER   starts the daemons; prints the line
#                                         "export SLURM_CONF=FOLDER/slurm.conf"
#   tools/slurm-cluster.sh stop FOLDER    stops the daemons started there
#
# `start` exits with 77 when the cluster cannot be had here for a reason outside
# Quarvel (packages missing, not root), after saying which.
set -uo pipefail
PATH="$PATH:/usr/sbin:/sbin"

command=${1:-}
folder=${2:-}
if [ -z "$command" ] || [ -z "$folder" ]; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 64
fi
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)

stop_daemon() {
  local pidfile=$1
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$pidfile"
}

stop_cluster() {
  stop_daemon "$folder/slurmd.pid"
  stop_daemon "$folder/slurmctld.pid"
  stop_daemon "$folder/munge/munged.pid"
}

unavailable() {
  echo "slurm-cluster: $*" >&2
  exit 77
}

failed() {
  echo "slurm-cluster: $*" >&2
  for log in munge/munged.log slurmctld.log slurmd.log; do
    [ -f "$folder/$log" ] && { echo "--- $log" >&2; tail -n 30 "$folder/$log" >&2; }
  done
  stop_cluster
  exit 1
}

# A free port pair from 20000 on, chosen by this process's number.
free_port() {
  local port=$((20000 + ($$ % 4000) * 2))
  for _ in $(seq 200); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null &&
       ! (exec 3<>"/dev/tcp/127.0.0.1/$((port + 1))") 2>/dev/null; then
      echo "$port"
      return
    fi
    port=$((port + 2))
  done
  echo 0
}

start_cluster() {
  for program in munged slurmctld slurmd sbatch scontrol sinfo; do
    command -v "$program" >/dev/null ||
      unavailable "$program is not installed (Debian packages slurm-wlm and munge; .ci/run installs them)"
  done
  [ "$(id -u)" -eq 0 ] || unavailable "slurmd must run as root to start jobs, and this is user $(id -un)"

  stop_cluster
  rm -rf "$folder/state" "$folder/spool" "$folder/munge"
  mkdir -p "$folder/state" "$folder/spool" "$folder/munge"
  chmod 700 "$folder/munge"
  dd if=/dev/urandom of="$folder/munge/munge.key" bs=1024 count=1 status=none
  chmod 400 "$folder/munge/munge.key"

  munged --force --socket="$folder/munge/munge.socket" --key-file="$folder/munge/munge.key" \
         --pid-file="$folder/munge/munged.pid" --log-file="$folder/munge/munged.log" \
         --seed-file="$folder/munge/munged.seed" ||
    failed "munged did not start"

  local port host cpus memory
  port=$(free_port)
  [ "$port" -ne 0 ] || failed "no free port pair for slurmctld and slurmd"
  host=$(hostname -s)
  cpus=$(nproc)
  memory=$(awk '/MemTotal/ { print int($2 / 1024 / 2) }' /proc/meminfo)
  cat > "$folder/slurm.conf" <<EOF
ClusterName=quarvel
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$folder/munge/munge.socket
StateSaveLocation=$folder/state
SlurmdSpoolDir=$folder/spool
SlurmctldPidFile=$folder/slurmctld.pid
SlurmdPidFile=$folder/slurmd.pid
SlurmctldLogFile=$folder/slurmctld.log
SlurmdLogFile=$folder/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SwitchType=switch/none
MpiDefault=none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerType=sched/backfill
# Tuned for throughput: by default each start of a batch job may wait up to 3 s.
SchedulerParameters=batch_sched_delay=0
ReturnToService=2
KillWait=5
NodeName=quarvelnode NodeHostname=$host NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=batch Nodes=quarvelnode Default=YES MaxTime=INFINITE State=UP
EOF
  export SLURM_CONF="$folder/slurm.conf"
  slurmctld -i -f "$SLURM_CONF" || failed "slurmctld did not start"
  slurmd -N quarvelnode -f "$SLURM_CONF" || failed "slurmd did not start"

  for _ in $(seq 150); do
    state=$(sinfo -h -N -o %T 2>/dev/null | head -n 1)
    if [ "$state" = "idle" ]; then
      echo "export SLURM_CONF=$SLURM_CONF"
      return 0
    fi
    sleep 0.2
  done
  failed "the node did not become idle (state: ${state:-none})"
}

case "$command" in
  start) start_cluster ;;
  stop) stop_cluster ;;
  *) echo "usage: $0 start|stop FOLDER" >&2; exit 64 ;;
esac
