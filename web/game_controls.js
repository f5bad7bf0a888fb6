// The status bar's controls for a game as a file: New game, Save file, Open
// a save file (a save file dropped on the page too), Share and its dialog,
// Download recording, Skip during a fight, and the playback bar of a shared
// game (pause and resume, speed, Play from here). Each control calls the
// page through `actions`; the files go out through a download link.
import { Speeds } from './playback.js';

const byId = (id) => document.getElementById(id);
const SaveStart = 'brawlarium save ';

// Downloads bytes or text as a file of this name.
export function download(name, content, type = 'text/plain') {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([content], { type }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// Whether a chosen or dropped file is a save file rather than a price list.
export async function isSaveFile(file) {
  const start = new TextDecoder().decode(await file.slice(0, SaveStart.length).arrayBuffer());
  return start === SaveStart || file.name.toLowerCase().endsWith('.sav');
}

// `actions`: newGame(), saveFile(), openSaveFile(File), share() (settles
// with { href, summary } or null), recording(), skip(), pausePlayback(paused),
// setSpeed(speed), playFromHere().
export function setUpGameControls(actions) {
  byId('new-game').addEventListener('click', actions.newGame);
  byId('save-file').addEventListener('click', actions.saveFile);
  byId('download-recording').addEventListener('click', actions.recording);
  byId('skip').addEventListener('click', actions.skip);
  const saveFiles = byId('save-files');
  byId('open-save').addEventListener('click', () => saveFiles.click());
  saveFiles.addEventListener('change', () => {
    if (saveFiles.files.length > 0) actions.openSaveFile(saveFiles.files[0]);
    saveFiles.value = '';
  });
  byId('share').addEventListener('click', async () => showShare(await actions.share()));
  byId('share-copy').addEventListener('click', async () => {
    byId('share-link').select();
    try {
      await navigator.clipboard.writeText(byId('share-link').value);
      byId('share-copy').textContent = 'Copied';
    } catch {
      byId('share-copy').textContent = 'Select the link and copy it';
    }
  });
  const pause = byId('playback-pause');
  pause.addEventListener('click', () => {
    const paused = pause.getAttribute('aria-pressed') !== 'true';
    pause.setAttribute('aria-pressed', String(paused));
    pause.textContent = paused ? 'Resume' : 'Pause';
    actions.pausePlayback(paused);
  });
  byId('playback-speed').addEventListener('change', (event) => actions.setSpeed(Speeds.find((speed) => String(speed) === event.target.value)));
  byId('play-from-here').addEventListener('click', actions.playFromHere);
}

function showShare(shared) {
  if (!shared) return;
  byId('share-summary').textContent = shared.summary;
  byId('share-link').value = shared.href;
  byId('share-copy').textContent = 'Copy the link';
  byId('share-dialog').showModal();
  byId('share-link').select();
}

// The playback bar instead of the game's own controls, or back again.
export function showPlaybackBar(shown) {
  byId('playback').hidden = !shown;
  byId('playback-pause').setAttribute('aria-pressed', 'false');
  byId('playback-pause').textContent = 'Pause';
  byId('playback-speed').value = '1';
}

export function showSkip(shown) {
  byId('skip').hidden = !shown;
}
