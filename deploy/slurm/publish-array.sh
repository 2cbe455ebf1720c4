#!/bin/bash
# Publishes every document named in a list as PDF, in 8 shards, one per task of a Slurm job
# array. Submit it from the folder that holds the list (the reports go beside it):
#   sbatch publish-array.sh                 # reads list.txt, one path per line
#   LIST=list0 NULL=1 sbatch publish-array.sh   # a find -print0 list
# The shard count is written twice, in --array and as shards: change both together.
#SBATCH --job-name=pressling-publish
#SBATCH --array=0-7
#SBATCH --cpus-per-task=2
#SBATCH --mem=2G
#SBATCH --time=04:00:00
#SBATCH --output=pressling-%A_%a.out
set -euo pipefail

shards=8
list=${LIST:-list.txt}
task=${SLURM_ARRAY_TASK_ID:?run this script with sbatch, as a job array}

options=(--format pdf --files-from "$list")
if [ -n "${NULL:-}" ]; then
    options+=(-0)
fi
mkdir -p reports
# Each office session keeps its profile under the temporary folder: the task's own on the
# node's disk, which Slurm usually sets, rather than a /tmp shared with other jobs.
export TMPDIR=${SLURM_TMPDIR:-${TMPDIR:-/tmp}}
# exec, so that pressling-cli gets scancel's SIGTERM itself and puts back what it can. A task
# that ends with 1 had an NG document, named in its report; Slurm does not run it again.
exec pressling-cli publish "${options[@]}" --shard "$task/$shards" \
    --report "reports/shard-$task.jsonl"
