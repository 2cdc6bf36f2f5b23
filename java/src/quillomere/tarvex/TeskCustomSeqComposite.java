package quillomere.tarvex;

/**
 * The base calls of the custom-sequence probe sets of a file, joined along the reference
 * sequence. Read through the file object that produced it.
 */
public class TeskCustomSeqComposite extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** NumBases: Filled by the native methods. */
    public int NumBases;

    /**
     * The base called at one position.
     *
     * @param index index of the item, from 0
     * @return the base
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native String GetBaseCall(int index) throws Exception;

    /**
     * The score of the call at one position.
     *
     * @param index index of the item, from 0
     * @return the score
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native float GetBaseCallScore(int index) throws Exception;

    /**
     * The scores of every position.
     *
     * @return the scores, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native float[] GetBaseCallScores() throws Exception;

    /**
     * The bases called at every position.
     *
     * @return the bases
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native String GetBaseCalls() throws Exception;

    /**
     * The reference base at one position.
     *
     * @param index index of the item, from 0
     * @return the base
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native String GetReferenceBase(int index) throws Exception;

    /**
     * The reference bases of every position.
     *
     * @return the bases
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native String GetReferenceBases() throws Exception;

}
