// The round pause list of the status bar: the pause between the rounds of a
// fight, from a replay link, else as chosen earlier in this tab, else the
// game's default; a new choice is remembered for the tab. A choice made with
// the mouse or a finger hands the keys back to the game, as the buttons do;
// the arrow keys leave the focus on the list.
import { isWholeNumberUpTo } from './replay_link.js';

const PauseKey = 'brawlarium.pause';

// Sets the list up and gives the pause to start with; onChange(pause,
// byPointer) follows each choice.
export function setUpRoundPause(choice, { linkPause, defaultPause, longestPause }, onChange) {
  const remembered = sessionStorage.getItem(PauseKey) ?? '';
  const pause = linkPause ?? (isWholeNumberUpTo(remembered, longestPause) ? remembered : String(defaultPause));
  showRoundPause(choice, pause);
  let pointed = false;
  choice.addEventListener('pointerdown', () => { pointed = true; });
  choice.addEventListener('keydown', () => { pointed = false; });
  choice.addEventListener('change', () => {
    sessionStorage.setItem(PauseKey, choice.value);
    onChange(choice.value, pointed);
    pointed = false;
  });
  return pause;
}

// Shows a pause given by the page (a kept or shared game's) in the list.
export function showRoundPause(choice, pause) {
  if (![...choice.options].some((option) => option.value === pause)) {
    choice.add(new Option(`${Number(pause) / 1000} s`, pause));
  }
  choice.value = pause;
}
