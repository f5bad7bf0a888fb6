// What the page says when a game ends, and what a key does then. A game
// that leaves a hero keeps it, as the native game keeps it in its save
// file: after quitting, the end of the input, an interruption or an
// internal error, a key goes on with the kept game (at the main menu the
// player quit from, or where the game stopped) and "New game" starts
// afresh. Price lists the game refused give way to the sample lists; any
// other end, or a game with no hero, is followed by a new game.

// How a game can end and still be gone on with.
const Endings = {
  'status 0': 'The game is over',
  interrupted: 'The game was interrupted',
  error: 'The game stopped on an internal error',
};

// The end of a game that ended `how` (see Game.end): `note`, written in the
// terminal; `message`, for the status bar; and what a key does: go on with
// `hero` (the kept game to start again, or null) or, with `sampleLists`,
// play the sample lists. `hero` is the game's kept game when it has a
// character; `listsRefused` whether the game refused the player's lists,
// named by `listButton`.
export function endOf(how, { hero, listsRefused, listButton }) {
  const ending = Endings[how];
  if (ending && hero) {
    return { hero, note: `${ending}, and your hero is kept.\r\n` +
      'Press any key to go on with your hero,\r\nor "New game" to start afresh.' };
  }
  if (ending) return { hero: null, note: `${ending}. Press any key to play again.` };
  if (listsRefused) {
    return {
      hero: null, sampleLists: true,
      message: 'Your price lists were refused: fix them and choose them again, or use the sample lists.',
      note: 'The game cannot play with your price lists, for the reason above.\r\n' +
        `Fix the file and choose it again with "${listButton}",\r\n` +
        'or press any key to play with the sample lists.',
    };
  }
  return { hero: null, note: 'The game stopped before its end. Press any key to play again.' };
}
